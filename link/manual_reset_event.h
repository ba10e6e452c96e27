#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

// An event that stays signalled until it is reset, private to this process:
// the reader and hand-off threads order each fix with two of these, and no
// other running copy of the program can see or signal them.
class ManualResetEvent {
public:
    void Set();
    void Reset();
    bool IsSet() const;

    // True when the event is (or becomes) signalled within `timeout`; false
    // on a time-out. Does not reset the event.
    bool WaitFor(std::chrono::milliseconds timeout) const;

private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    bool m_signalled = false;
};
