#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "link/link_objects.h"
#include "link/link_observer.h"
#include "link/manual_reset_event.h"
#include "link/recording_analysis.h"
#include "link/health_observer.h"
#include "nmea/decode_driver.h"

// The reader and hand-off threads. The reader polls the link every 100 ms
// (a socket exactly as a serial device), counts the link's health,
// feeds every byte to the parser and queues the printable ones for the
// monitor; after each GGA the parser's hand-off wakes the hand-off thread,
// which copies the fix into the snapshot and reports it, while the reader
// waits (until it is handled, or the link stops) so that the copy matches
// the fix: none is merged with the next or lost.
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
    // How often a reader waiting for its fix to be handled checks for Stop.
    static constexpr std::chrono::milliseconds kHandoffLimit{1000};
    // Fixes copied by the reader and not yet handed on; the reader waits
    // when this many wait.
    static constexpr size_t kMaxQueuedFixes = 64;
    static constexpr std::chrono::milliseconds kRetryInterval{1000};
    // Short, so that a stopping window never waits long for an attempt.
    static constexpr std::chrono::milliseconds kRetryConnectTimeout{1000};

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

    // When the read that carried the fix being handed on was made (steady
    // clock, microseconds); valid inside LinkObserver::PositionUpdate.
    int64_t HandedFixReadUs() const { return m_handedReadUs.load(); }

    // When a live source goes away: try to open it again every second
    // (a serial receiver by its by-id name), until it opens or the user
    // opens or closes something. Off: the link stays closed, as it always did.
    void SetReconnect(bool on) { m_reconnect = on; }
    bool Reconnect() const { return m_reconnect.load(); }
    // The source went away and the link is trying to open it again.
    bool IsRetrying() const { return m_retrying.load(); }

private:
    void ReaderThreadProc();
    void HandoffThreadProc();
    void ReadPort();
    void RetryLostSource();
    void PositionHandOff();  // on the reader thread, inside the parser
    void DeliverSeekBatch();

    LinkObjects m_objects;
    LinkObserver& m_observer;

    std::atomic<bool> m_readerRunning{false};
    std::atomic<bool> m_handoffRunning{false};
    std::atomic<bool> m_reconnect{false};
    std::atomic<bool> m_retrying{false};
    // The reader's own: what it reopens and since which of the user's actions.
    std::string m_retryText;
    int m_retryBaud = 0;
    uint64_t m_retryGeneration = 0;
    std::chrono::steady_clock::time_point m_nextRetry{};
    std::thread m_readerThread;
    std::thread m_handoffThread;

    struct FixValue {
        DisplaySnapshot display;
        GnssSnapshot gnss;
        int64_t readSteadyUs = 0;
    };
    std::atomic<int64_t> m_handedReadUs{0};
    int64_t m_readSteadyUs = 0;  // the current read's time; reader thread only
    std::mutex m_valuesLock;
    std::condition_variable m_valuesChanged;
    std::deque<FixValue> m_values;

    ManualResetEvent m_stopEvent;
    ManualResetEvent m_hPositionEvent;
    ManualResetEvent m_hPositionEventProcessed;

    // The reader's hold on parserLock while it feeds, so that the hand-off
    // can let go of it during the wait. Only the reader thread touches it.
    std::unique_lock<std::mutex>* m_feeding = nullptr;
    // The reader's decoding: the link's health counted, each fix handed off.
    HealthObserver m_readerObserver{m_objects.health, [this] { PositionHandOff(); }};
    DecodeDriver m_driver{m_objects.parser, &m_readerObserver};
    // While a seek plays the file up to its target: the fixes in batches,
    // as Analyse Recording hands them over, for an observer that takes them.
    AnalysisBatcher m_seekBatcher{m_objects.parser};  // fed on the reader thread under parserLock
    uint8_t m_readBuffer[kLiveReadSize] = {};
    static constexpr size_t kSeekReadSize = 1 << 16;  // an analysis's read
    std::vector<uint8_t> m_seekBuffer = std::vector<uint8_t>(kSeekReadSize);
    std::chrono::milliseconds m_nextWait = kPollInterval;  // reader thread only
};
