#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "link/recording_analysis.h"

class FixFeed;

// Runs a whole-file analysis on a worker thread and publishes its fixes to
// the feed on this object's (the GUI) thread, a batch at a time, with at
// most two batches waiting: the pages build as the file decodes, and the
// window keeps handling events between batches.
class RecordingAnalysisRunner : public QObject {
public:
    using Finished = std::function<void(const RecordingAnalysisResult&)>;

    RecordingAnalysisRunner(FixFeed& feed, QObject* parent = nullptr);
    ~RecordingAnalysisRunner() override;

    // False when an analysis runs already.
    bool Start(const QString& path, Finished finished);
    void Cancel();
    bool IsRunning() const { return m_worker.joinable(); }

    // Bytes read so far and the file's size, for a progress bar.
    uint64_t BytesRead() const { return m_bytesRead.load(); }
    uint64_t TotalBytes() const { return m_totalBytes.load(); }

private:
    void Deliver(std::vector<AnalysedFix>&& fixes, uint64_t bytesRead);
    void Join();

    FixFeed& m_feed;
    std::thread m_worker;
    std::atomic<bool> m_cancel{false};
    std::atomic<uint64_t> m_bytesRead{0};
    std::atomic<uint64_t> m_totalBytes{0};
    std::mutex m_lock;
    std::condition_variable m_batchDone;
    int m_inFlight = 0;  // batches queued to the GUI thread, not yet published
};
