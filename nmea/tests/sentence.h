#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "nmea/receiver_state.h"

// "$" body "*HH\r\n" with the checksum NMEA requires.
inline std::string Sentence(std::string_view body)
{
    unsigned char sum = 0;
    for (unsigned char c : body)
        sum ^= c;
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
    return "$" + std::string(body) + tail;
}

// Byte by byte, into a framer or a receiver state.
template <typename Parser>
void Feed(Parser& parser, std::string_view bytes)
{
    for (unsigned char b : bytes)
        parser.ProcessByte(b);
}

// Records what the framer delivers.
class RecordingParser : public SentenceFramer {
public:
    struct Event {
        bool good;
        std::string address;
        std::string data;
        bool operator==(const Event&) const = default;
    };
    std::vector<Event> events;

protected:
    int OnSentence(const char* address, const char* data) override
    {
        events.push_back({true, address, data});
        return 0;
    }
    void OnChecksumError(const char* address, const char* data) override
    {
        events.push_back({false, address, data});
    }
};
