#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

class CSio;

// What goes to the receiver: whole sentences, or whole binary frames, in
// the order they were given, never interleaved. Enqueue returns at once and
// one thread of its own writes, so a peer that stops reading holds up
// neither the reader nor the window. The queue is bounded: a frame that
// would take it past kMaxQueuedBytes is refused, and when the peer takes
// nothing for kStallLimit everything queued fails and is reported.
class WriteQueue {
public:
    static constexpr size_t kMaxQueuedBytes = 64 * 1024;
    static constexpr std::chrono::milliseconds kStallLimit{2000};

    // Frames that were queued but never reached the peer.
    struct Failure {
        size_t frames = 0;
        size_t bytes = 0;
        std::string reason;
    };
    // Called on the writer thread; must not block.
    using FailureNotice = std::function<void(const Failure&)>;

    explicit WriteQueue(CSio& sio, FailureNotice notice = {});
    ~WriteQueue();
    WriteQueue(const WriteQueue&) = delete;
    WriteQueue& operator=(const WriteQueue&) = delete;

    void SetFailureNotice(FailureNotice notice);

    // Queues `frame` for the open source. Empty when queued; otherwise why
    // it was not (no source, a source that only reads, a full queue), as
    // the user reads it.
    std::string Enqueue(std::string_view frame);

    // Bytes queued and not yet taken by the peer.
    size_t QueuedBytes() const;
    // Waits until the queue is empty or `timeout` passes; whether it is.
    bool WaitUntilEmpty(std::chrono::milliseconds timeout) const;

    // Ends the writer; what is still queued is dropped without a report.
    void Stop();

private:
    struct Frame {
        std::string bytes;
        uint64_t generation = 0;  // the source it was meant for
    };

    void Run();
    void FailAll(std::unique_lock<std::mutex>& lock, const std::string& reason);

    CSio& m_sio;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    std::deque<Frame> m_frames;
    size_t m_queuedBytes = 0;
    size_t m_headWritten = 0;  // of the first frame
    bool m_stopping = false;
    FailureNotice m_notice;
    std::thread m_thread;
};
