#include "link/link_threads.h"

#include <algorithm>
#include <system_error>

#include "link/session_recorder.h"

namespace {

bool Printable(uint8_t b) { return (b >= 0x20 && b <= 0x7E) || b == '\r' || b == '\n'; }

}  // namespace

LinkThreads::LinkThreads(const LinkObjects& objects, LinkObserver& observer)
    : m_objects(objects)
    , m_observer(observer)
{
}

LinkThreads::~LinkThreads()
{
    Stop();
}

bool LinkThreads::Start()
{
    if (IsRunning())
        return true;
    m_stopEvent.Reset();
    m_hPositionEvent.Reset();
    m_hPositionEventProcessed.Reset();
    {
        std::lock_guard values(m_valuesLock);
        m_values.clear();
    }
    m_observer.ResumeUpdates();

    // The flags are set before the threads exist, so that a thread never
    // sees itself as stopped on its first test.
    bool ok = true;
    m_handoffRunning = true;
    try {
        m_handoffThread = std::thread(&LinkThreads::HandoffThreadProc, this);
    } catch (const std::system_error&) {
        m_handoffRunning = false;
        ok = false;
    }
    m_readerRunning = true;
    try {
        m_readerThread = std::thread(&LinkThreads::ReaderThreadProc, this);
    } catch (const std::system_error&) {
        m_readerRunning = false;
        ok = false;
    }
    return ok;
}

void LinkThreads::Stop()
{
    m_readerRunning = false;
    m_handoffRunning = false;
    m_stopEvent.Set();
    m_hPositionEvent.Set();           // ends the hand-off thread's wait
    m_hPositionEventProcessed.Set();  // ends a reader's wait for a fix
    {
        std::lock_guard values(m_valuesLock);  // and its wait for room in the queue
    }
    m_valuesChanged.notify_all();
    // The hand-off thread may be inside a position update that waits for
    // this very thread: release it before joining, never after.
    m_observer.CancelPendingUpdates();
    if (m_readerThread.joinable())
        m_readerThread.join();
    if (m_handoffThread.joinable())
        m_handoffThread.join();
    m_objects.parser.SetPositionHandOff({});
}

void LinkThreads::ReaderThreadProc()
{
    while (m_readerRunning.load()) {
        if (m_stopEvent.WaitFor(m_nextWait))
            break;
        if (m_retrying.load())
            RetryLostSource();
        else
            ReadPort();
    }
}

void LinkThreads::ReadPort()
{
    // A seek's bytes are due at once: they decode at the speed of an
    // analysis, their fixes handed over in batches.
    const bool seeking = m_observer.TakesBatches() && m_objects.sio.IsPlayback()
                         && m_objects.sio.Pacer().SeekTargetBytes() > 0;
    const SioReadResult read = seeking ? m_objects.sio.Read(m_seekBuffer.data(), kSeekReadSize, kSeekReadSize)
                                       : m_objects.sio.Read(m_readBuffer, kLiveReadSize, kLiveReadSize);
    // A playback wakes when its next bytes are due, at most a poll later.
    m_nextWait = kPollInterval;
    if (read.playback && read.waitUs >= 0)
        m_nextWait = std::min(kPollInterval, std::chrono::milliseconds((read.waitUs + 999) / 1000));
    if (read.more)
        m_nextWait = std::chrono::milliseconds(0);  // every pending datagram, before the kernel drops any
    if (read.rewound) {
        {
            std::lock_guard values(m_valuesLock);
            m_values.clear();  // fixes of the file before the rewind
        }
        ResetParserData(m_objects, true);
        m_seekBatcher.batch.clear();
        m_seekBatcher.Restart();
        m_observer.PlaybackRewound();
    }
    if (read.ended)
        m_observer.PlaybackEnded();
    if (read.lost) {
        if (m_reconnect.load()) {
            m_retryText = m_objects.sio.ReopenText();
            m_retryBaud = m_objects.sio.BaudRate();
            m_retryGeneration = m_objects.sio.Generation();
            m_nextRetry = std::chrono::steady_clock::now() + kRetryInterval;
            m_retrying = !m_retryText.empty();
        }
        m_observer.ReceiverLost();
        return;
    }
    if (read.count <= 0) {
        if (!m_seekBatcher.batch.empty())
            DeliverSeekBatch();
        return;
    }
    m_observer.RxActivity();

    const size_t count = static_cast<size_t>(read.count);
    const ReadStamp stamp{0, SteadyMicros(), UtcMicros()};
    m_readSteadyUs = stamp.steadyUs;
    // A seek's bytes are decoded, not shown nor recorded again: the traffic
    // goes on from the target, as after an analysis.
    std::string printable;
    if (!seeking) {
        printable.reserve(count);
        for (size_t i = 0; i < count; ++i)
            if (Printable(m_readBuffer[i]))
                printable.push_back(static_cast<char>(m_readBuffer[i]));
    }
    // Recorded first: a fix's hand-off may make the feeding below wait
    // for the window, the file never does.
    if (m_objects.recording != nullptr && !printable.empty())
        m_objects.recording->Append(printable, stamp);

    {
        std::unique_lock feeding(m_objects.parserLock);
        if (m_objects.health != nullptr)
            m_objects.health->OnBytes(count, std::chrono::steady_clock::now());
        if (seeking) {
            m_driver.SetObserver(&m_seekBatcher);
            m_driver.Feed(m_seekBuffer.data(), count);
            m_driver.SetObserver(&m_readerObserver);
        } else {
            m_feeding = &feeding;
            m_driver.Feed(m_readBuffer, count);
            m_feeding = nullptr;
        }
    }
    const bool seekDone = seeking && m_objects.sio.Pacer().SeekTargetBytes() == 0;
    if (m_seekBatcher.batch.size() >= RecordingAnalysis::kBatchFixes || (seekDone && !m_seekBatcher.batch.empty()))
        DeliverSeekBatch();
    if (printable.empty())
        return;

    std::lock_guard data(m_objects.dataLock);
    const size_t before = m_objects.rxQueue.size();
    if (m_objects.monitor != nullptr)
        QueueForMonitor(m_objects.rxQueue, *m_objects.monitor, printable);
    else
        m_objects.rxQueue.insert(m_objects.rxQueue.end(), printable.begin(), printable.end());
    if (ReadStampQueue* q = m_objects.readStamps; q != nullptr && m_objects.rxQueue.size() > before) {
        q->stamps.push_back({q->queued, stamp.steadyUs, stamp.utcUs});
        q->queued += m_objects.rxQueue.size() - before;
    }
}

void LinkThreads::RetryLostSource()
{
    if (!m_reconnect.load() || m_objects.sio.Generation() != m_retryGeneration) {
        m_retrying = false;  // unchecked, or the user opened or closed something
        return;
    }
    if (std::chrono::steady_clock::now() < m_nextRetry)
        return;
    SourceHandle handle = OpenSourceHandle(m_retryText, m_retryBaud, kRetryConnectTimeout);
    m_nextRetry = std::chrono::steady_clock::now() + kRetryInterval;
    if (!handle.Ok() || !m_objects.sio.AdoptIfUnchanged(std::move(handle), m_retryGeneration))
        return;
    m_retrying = false;
    m_observer.SourceReconnected();
}

void LinkThreads::DeliverSeekBatch()
{
    std::vector<AnalysedFix> batch = m_seekBatcher.Take();
    {
        // What a page reads between fixes is the latest one, as after a hand-off.
        std::lock_guard data(m_objects.dataLock);
        m_objects.snapshot = batch.back().display;
        if (m_objects.gnssSnapshot != nullptr)
            *m_objects.gnssSnapshot = batch.back().gnss;
    }
    if (m_readerRunning.load())
        m_observer.PositionBatch(std::move(batch));
}

void LinkThreads::PositionHandOff()
{
    if (!m_readerRunning.load())
        return;  // stopping: nobody will handle the fix
    // The fix is copied here, at its GGA, while the reader still holds the
    // parser: whatever the window's pace, no later sentence can change it
    // before it is handed on, so no fix is merged with the next.
    FixValue value;
    value.readSteadyUs = m_readSteadyUs;
    CopyToSnapshot(m_objects.parser, value.display);
    if (m_objects.gnssSnapshot != nullptr)
        m_objects.parser.m_gnssModel.CopyTo(value.gnss);
    // Nothing is fed while we wait, so the parser may be reset meanwhile.
    if (m_feeding != nullptr)
        m_feeding->unlock();
    {
        std::unique_lock values(m_valuesLock);
        // A full queue: the reader waits, as it waits for the window below.
        m_valuesChanged.wait(values, [this] { return m_values.size() < kMaxQueuedFixes || !m_readerRunning.load(); });
        m_values.push_back(std::move(value));
    }
    m_hPositionEvent.Set();
    // After a time-out the event stays as it is: a late "processed" lets
    // the next fix's wait return at once. The fix itself waits in the queue.
    if (m_hPositionEventProcessed.WaitFor(kHandoffLimit))
        m_hPositionEventProcessed.Reset();
    if (m_feeding != nullptr)
        m_feeding->lock();
}

void LinkThreads::HandoffThreadProc()
{
    while (m_handoffRunning.load()) {
        if (!m_hPositionEvent.WaitFor(kHandoffSlice))
            continue;
        if (!m_handoffRunning.load())
            break;
        m_hPositionEvent.Reset();
        // Every fix the reader copied, in order, each handled before the next.
        while (m_handoffRunning.load()) {
            FixValue value;
            {
                std::lock_guard values(m_valuesLock);
                if (m_values.empty())
                    break;
                value = std::move(m_values.front());
                m_values.pop_front();
            }
            m_valuesChanged.notify_all();
            {
                std::lock_guard data(m_objects.dataLock);
                m_objects.snapshot = value.display;
                if (m_objects.gnssSnapshot != nullptr)
                    *m_objects.gnssSnapshot = value.gnss;
            }
            m_handedReadUs = value.readSteadyUs;
            m_observer.PositionUpdate();
        }
        m_hPositionEventProcessed.Set();
    }
}
