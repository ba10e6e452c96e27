#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <thread>

#include "link/link_objects.h"
#include "link/link_observer.h"
#include "link/manual_reset_event.h"

// The reader and hand-off threads. The reader polls the link every 100 ms,
// feeds every byte to the parser and queues the printable ones for the
// monitor; after each GGA the parser's hand-off wakes the hand-off thread,
// which copies the fix into the snapshot and reports it, while the reader
// waits (at most 1 s) so that the copy matches the fix.
//
// Owned by the main window: Start once it can take reports, Stop (from the
// GUI thread) before it goes away. Stop never waits for a report that
// itself waits for the stopping thread.
class LinkThreads {
public:
    static constexpr std::chrono::milliseconds kPollInterval{100};
    static constexpr size_t kLiveReadSize = 10240;
    static constexpr size_t kPlaybackReadSize = 2560;
    static constexpr std::chrono::milliseconds kHandoffSlice{2200};
    static constexpr std::chrono::milliseconds kHandoffLimit{1000};

    LinkThreads(const LinkObjects& objects, LinkObserver& observer);
    ~LinkThreads();
    LinkThreads(const LinkThreads&) = delete;
    LinkThreads& operator=(const LinkThreads&) = delete;

    // Starts the hand-off thread, then the reader. Installs the parser's
    // GGA hand-off. False when a thread could not be created.
    bool Start();

    // Clears the run flags, wakes both threads, releases a pending position
    // update and joins. Safe to call more than once.
    void Stop();

    bool IsRunning() const { return m_readerRunning.load() || m_handoffRunning.load(); }

private:
    void ReaderThreadProc();
    void HandoffThreadProc();
    void ReadPort();
    void PositionHandOff();  // on the reader thread, inside the parser

    LinkObjects m_objects;
    LinkObserver& m_observer;

    std::atomic<bool> m_readerRunning{false};
    std::atomic<bool> m_handoffRunning{false};
    std::thread m_readerThread;
    std::thread m_handoffThread;

    ManualResetEvent m_stopEvent;
    ManualResetEvent m_hPositionEvent;
    ManualResetEvent m_hPositionEventProcessed;

    // The reader's hold on parserLock while it feeds, so that the hand-off
    // can let go of it during the wait. Only the reader thread touches it.
    std::unique_lock<std::mutex>* m_feeding = nullptr;
    uint8_t m_readBuffer[kLiveReadSize] = {};
    std::chrono::milliseconds m_nextWait = kPollInterval;  // reader thread only
};
