#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The NMEA checksum of a sentence to send: the XOR of every byte after the
// first '$'. The '$' and whatever precedes it are left out; a later '$' or a
// '*' counts like any other byte. A text without '$' has the checksum 0.
uint8_t SentenceChecksum(std::string_view text);

// The text followed by '*' and its checksum as two uppercase hex digits.
std::string WithChecksum(std::string_view text);
