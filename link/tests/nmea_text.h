#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

// "$" body "*" checksum CR LF.
inline std::string Sentence(std::string_view body)
{
    uint8_t checksum = 0;
    for (char c : body)
        checksum ^= static_cast<uint8_t>(c);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\r\n", checksum);
    return "$" + std::string(body) + tail;
}

// A GGA at `latitudeMinutes` minutes north of 47 degrees and
// `longitudeMinutes` minutes east of 15 degrees.
inline std::string Gga(double latitudeMinutes, double longitudeMinutes, const char* talker = "GP")
{
    char body[160];
    std::snprintf(body, sizeof body, "%sGGA,120000.00,47%07.4f,N,015%07.4f,E,1,08,0.9,350.0,M,47.0,M,,", talker,
                  latitudeMinutes, longitudeMinutes);
    return Sentence(body);
}
