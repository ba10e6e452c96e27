#include "link/write_queue.h"

#include "link/serial_port.h"

namespace {

constexpr std::chrono::milliseconds kWritableSlice{50};

std::string Size(size_t bytes)
{
    return bytes < 10240 ? std::to_string(bytes) + " bytes" : std::to_string(bytes / 1024) + " KB";
}

}  // namespace

WriteQueue::WriteQueue(CSio& sio, FailureNotice notice)
    : m_sio(sio)
    , m_notice(std::move(notice))
{
    m_thread = std::thread(&WriteQueue::Run, this);
}

WriteQueue::~WriteQueue() { Stop(); }

void WriteQueue::SetFailureNotice(FailureNotice notice)
{
    std::lock_guard lock(m_mutex);
    m_notice = std::move(notice);
}

void WriteQueue::Stop()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

std::string WriteQueue::Enqueue(std::string_view frame)
{
    if (!m_sio.IsOpen() || m_sio.IsPlayback())
        return "Not sent: no receiver is connected.";
    if (std::string refusal = m_sio.WriteRefusal(); !refusal.empty())
        return refusal;
    {
        std::lock_guard lock(m_mutex);
        if (m_stopping)
            return "Not sent: the link is closing.";
        if (m_queuedBytes + frame.size() > kMaxQueuedBytes)
            return "Not sent: " + m_sio.DevicePath() + " has not taken the " + Size(m_queuedBytes) +
                   " already waiting for it.";
        m_frames.push_back({std::string(frame), m_sio.Generation()});
        m_queuedBytes += frame.size();
    }
    m_changed.notify_all();
    return {};
}

size_t WriteQueue::QueuedBytes() const
{
    std::lock_guard lock(m_mutex);
    return m_queuedBytes;
}

bool WriteQueue::WaitUntilEmpty(std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [this] { return m_frames.empty(); });
}

void WriteQueue::FailAll(std::unique_lock<std::mutex>& lock, const std::string& reason)
{
    const Failure failure{m_frames.size(), m_queuedBytes - m_headWritten, reason};
    m_frames.clear();
    m_queuedBytes = 0;
    m_headWritten = 0;
    const FailureNotice notice = m_notice;
    lock.unlock();
    m_changed.notify_all();
    if (notice && failure.frames > 0)
        notice(failure);
    lock.lock();
}

void WriteQueue::Run()
{
    std::unique_lock lock(m_mutex);
    auto lastProgress = std::chrono::steady_clock::now();
    while (true) {
        if (m_frames.empty()) {
            m_changed.wait(lock, [this] { return m_stopping || !m_frames.empty(); });
            lastProgress = std::chrono::steady_clock::now();  // the stall clock starts with the first frame
        }
        if (m_stopping)
            return;
        // Written outside the lock, so Enqueue never waits for the peer.
        const std::string bytes = m_frames.front().bytes.substr(m_headWritten);
        const uint64_t generation = m_frames.front().generation;
        lock.unlock();
        const long n = m_sio.WriteSome(bytes.data(), bytes.size(), generation);
        if (n == 0)
            m_sio.WaitWritable(kWritableSlice);
        lock.lock();
        if (m_stopping)
            return;
        if (n < 0) {
            FailAll(lock, "the source closed or changed before it was written");
            continue;
        }
        const auto now = std::chrono::steady_clock::now();
        if (n > 0) {
            lastProgress = now;
            m_headWritten += static_cast<size_t>(n);
            if (m_headWritten == m_frames.front().bytes.size()) {
                m_queuedBytes -= m_frames.front().bytes.size();
                m_frames.pop_front();
                m_headWritten = 0;
                m_changed.notify_all();
            }
        } else if (now - lastProgress >= kStallLimit) {
            FailAll(lock, m_sio.DevicePath() + " took no data for " +
                              std::to_string(kStallLimit.count() / 1000) + " s");
            lastProgress = std::chrono::steady_clock::now();
        }
    }
}
