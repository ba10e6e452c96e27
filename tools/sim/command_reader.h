#pragma once

#include <string>
#include <string_view>
#include <vector>

struct NmeaCommand {
    std::string address;              // "PXTNCFG"
    std::vector<std::string> fields;  // after the address; none for a bare query

    bool operator==(const NmeaCommand&) const = default;
};

// Splits what the host writes into sentences: "$" address ["," fields]
// ["*" checksum], ended by CR or LF. A sentence whose checksum does not
// match, or that is longer than NMEA allows, is dropped; one without a
// checksum is taken as it is, as typed at a terminal.
class CommandReader {
public:
    std::vector<NmeaCommand> Feed(std::string_view bytes);

    int Rejected() const { return m_rejected; }

private:
    void Finish(std::vector<NmeaCommand>& out);

    std::string m_line;
    bool m_inSentence = false;
    int m_rejected = 0;
};
