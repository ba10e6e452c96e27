#include "console/sentence_checksum.h"

uint8_t SentenceChecksum(std::string_view text)
{
    const size_t start = text.find('$');
    if (start == std::string_view::npos)
        return 0;
    uint8_t sum = 0;
    for (const char c : text.substr(start + 1))
        sum ^= static_cast<uint8_t>(c);
    return sum;
}

std::string WithChecksum(std::string_view text)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    const uint8_t sum = SentenceChecksum(text);
    std::string line(text);
    line += '*';
    line += kHex[sum >> 4];
    line += kHex[sum & 0x0F];
    return line;
}
