#pragma once

#include <string_view>

class SentenceSender;

// The receiver console's pages as the main window drives them: what was
// received and sent goes into their logs, and what they send goes through
// the window's sender.
class TrafficLog {
public:
    virtual ~TrafficLog() = default;

    // Received bytes, shown without carriage returns.
    virtual void AppendReceived(std::string_view bytes) = 0;
    virtual void AppendTransmitted(std::string_view bytes) = 0;
    virtual void SetSentenceSender(SentenceSender* sender) = 0;
};
