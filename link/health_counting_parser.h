#pragma once

#include "link/link_health.h"
#include "nmea/receiver_state.h"

// The receiver state with the link's health counted as the framer delivers:
// the link's parser. The counting adds no pass over the bytes.
class HealthCountingParser : public CNMEAParserWin32 {
public:
    LinkHealth health;

protected:
    int OnSentence(const char* address, const char* data) override
    {
        health.OnSentence(address, DataLength());
        return CNMEAParserWin32::OnSentence(address, data);
    }
    void OnChecksumError(const char* address, const char* data) override
    {
        health.OnChecksumError(address, DataLength());
        CNMEAParserWin32::OnChecksumError(address, data);
    }
};
