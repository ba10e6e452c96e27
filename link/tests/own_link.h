#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "link/link_objects.h"
#include "link/link_observer.h"

// A private set of the objects the link shares, so that tests never touch
// the program's globals.
struct OwnLink {
    ReceiverState parser;
    LinkHealth health;
    std::mutex dataLock;
    std::mutex parserLock;
    std::deque<char> rxQueue;
    DisplaySnapshot snapshot;
    GnssSnapshot gnssSnapshot;
    ReadStampQueue readStamps;
    SerialPort sio{[this] { ResetParserData(Objects(), false); }};

    LinkObjects Objects() { return {parser, sio, dataLock, parserLock, rxQueue, snapshot, &gnssSnapshot, &health, &readStamps}; }

    size_t QueuedBytes()
    {
        std::lock_guard lock(dataLock);
        return rxQueue.size();
    }
    std::string QueuedText()
    {
        std::lock_guard lock(dataLock);
        return {rxQueue.begin(), rxQueue.end()};
    }
};

// Records what the link reports, as a main window would see it.
class RecordingObserver : public LinkObserver {
public:
    struct Update {
        DisplaySnapshot snapshot;
        size_t queuedBytes = 0;  // bytes in the queue as the update began
        std::chrono::steady_clock::time_point at;
    };

    explicit RecordingObserver(OwnLink& link)
        : m_link(link)
    {
    }

    // Runs inside PositionUpdate, on the hand-off thread, after recording.
    std::function<void(size_t index)> whileHandling;

    void PositionUpdate() override
    {
        Update u;
        {
            std::lock_guard lock(m_link.dataLock);
            u.snapshot = m_link.snapshot;
            u.queuedBytes = m_link.rxQueue.size();
        }
        u.at = std::chrono::steady_clock::now();
        size_t index = 0;
        {
            std::lock_guard lock(m_mutex);
            index = m_updates.size();
            m_updates.push_back(u);
        }
        m_changed.notify_all();
        if (whileHandling)
            whileHandling(index);
    }

    void RxActivity() override
    {
        const size_t queued = m_link.QueuedBytes();
        {
            std::lock_guard lock(m_mutex);
            m_activity.push_back(queued);
            m_activityTimes.push_back(std::chrono::steady_clock::now());
        }
        m_changed.notify_all();
    }

    void ReceiverLost() override
    {
        {
            std::lock_guard lock(m_mutex);
            ++m_lost;
        }
        m_changed.notify_all();
    }

    void SourceReconnected() override
    {
        {
            std::lock_guard lock(m_mutex);
            ++m_reconnected;
        }
        m_changed.notify_all();
    }
    int Reconnected()
    {
        std::lock_guard lock(m_mutex);
        return m_reconnected;
    }

    bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, timeout, [&] { return done(); });
    }
    bool WaitForUpdates(size_t n, std::chrono::milliseconds timeout)
    {
        return WaitUntil([&] { return m_updates.size() >= n; }, timeout);
    }

    std::vector<Update> Updates()
    {
        std::lock_guard lock(m_mutex);
        return m_updates;
    }
    std::vector<size_t> Activity()
    {
        std::lock_guard lock(m_mutex);
        return m_activity;
    }
    std::vector<std::chrono::steady_clock::time_point> ActivityTimes()
    {
        std::lock_guard lock(m_mutex);
        return m_activityTimes;
    }
    int Lost()
    {
        std::lock_guard lock(m_mutex);
        return m_lost;
    }
    size_t UpdateCount()
    {
        std::lock_guard lock(m_mutex);
        return m_updates.size();
    }

    // Unlocked views for the WaitUntil predicates, which run under the lock.
    const std::vector<size_t>& activityLocked() const { return m_activity; }
    int lostLocked() const { return m_lost; }

private:
    OwnLink& m_link;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Update> m_updates;
    std::vector<size_t> m_activity;  // queued bytes at each receive activity
    std::vector<std::chrono::steady_clock::time_point> m_activityTimes;
    int m_lost = 0;
    int m_reconnected = 0;
};
