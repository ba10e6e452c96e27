#pragma once

#include <optional>
#include <string>
#include <string_view>

// The receiver's latest GGA as it came over the link, whole and with a
// good checksum: what goes up to a caster that wants the rover's position,
// and its own age of differential corrections (field 13) and reference
// station (field 14), shown beside the age of the corrections sent.
//   $GNGGA,120000.00,4706.0000,N,00803.0000,E,4,12,0.8,510.2,M,47.0,M,1.0,0321*7C
class ReceiverGga {
public:
    // Takes received bytes; true when they completed a GGA.
    bool Feed(std::string_view bytes);

    const std::string& Sentence() const { return m_sentence; }  // CR LF ended; empty before the first
    int Quality() const { return m_quality; }
    std::optional<double> DifferentialAge() const { return m_age; }
    std::optional<int> StationId() const { return m_station; }

private:
    bool Take(const std::string& line);

    std::string m_line;
    std::string m_sentence;
    int m_quality = 0;
    std::optional<double> m_age;
    std::optional<int> m_station;
};
