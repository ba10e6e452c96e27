#pragma once

#include <chrono>

// When to ask the receiver for its configuration again. The window asks
// on receive activity until the first GGA tells the fix quality, whatever
// that quality is (9 has no text, and must not make it ask on every read);
// at most once a second and kMaxRetries times for one connection.
class QueryRetry {
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    static constexpr int kMaxRetries = 10;
    static constexpr std::chrono::milliseconds kInterval{1000};

    // A new connection: ask again as before.
    void Restart() { *this = QueryRetry{}; }
    void GgaSeen() { m_ggaSeen = true; }

    // Whether to ask now; counts the question when it says yes.
    bool ShouldAsk(TimePoint now)
    {
        if (m_ggaSeen || m_retries >= kMaxRetries)
            return false;
        if (m_retries > 0 && now - m_last < kInterval)
            return false;
        ++m_retries;
        m_last = now;
        return true;
    }

private:
    bool m_ggaSeen = false;
    int m_retries = 0;
    TimePoint m_last{};
};
