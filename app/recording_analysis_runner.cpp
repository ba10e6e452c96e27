#include "app/recording_analysis_runner.h"

#include <QFile>
#include <QFileInfo>
#include <QMetaObject>
#include <memory>

#include "kit/fix_feed.h"

namespace {
constexpr int kMaxBatchesWaiting = 2;
}

RecordingAnalysisRunner::RecordingAnalysisRunner(FixFeed& feed, QObject* parent)
    : QObject(parent)
    , m_feed(feed)
{
}

RecordingAnalysisRunner::~RecordingAnalysisRunner()
{
    Cancel();
    Join();
}

bool RecordingAnalysisRunner::Start(const QString& path, Finished finished)
{
    if (IsRunning())
        return false;
    m_cancel = false;
    m_bytesRead = 0;
    m_totalBytes = static_cast<uint64_t>(std::max<qint64>(0, QFileInfo(path).size()));
    m_inFlight = 0;
    const std::string file = QFile::encodeName(path).toStdString();
    m_worker = std::thread([this, file, finished = std::move(finished)] {
        const RecordingAnalysisResult result = RecordingAnalysis::Run(
            file, [this](std::vector<AnalysedFix>&& fixes, uint64_t bytes) { Deliver(std::move(fixes), bytes); },
            m_cancel);
        // Queued after the last batch, so the pages are complete when it runs.
        QMetaObject::invokeMethod(
            this,
            [this, result, finished] {
                Join();
                if (finished)
                    finished(result);
            },
            Qt::QueuedConnection);
    });
    return true;
}

void RecordingAnalysisRunner::Deliver(std::vector<AnalysedFix>&& fixes, uint64_t bytesRead)
{
    {
        std::unique_lock lock(m_lock);
        m_batchDone.wait(lock, [this] { return m_inFlight < kMaxBatchesWaiting || m_cancel.load(); });
        if (m_cancel.load())
            return;
        ++m_inFlight;
    }
    auto batch = std::make_shared<std::vector<AnalysedFix>>(std::move(fixes));
    QMetaObject::invokeMethod(
        this,
        [this, batch, bytesRead] {
            if (!m_cancel.load())
                for (const AnalysedFix& fix : *batch)
                    m_feed.Publish(fix.display, fix.gnss);
            m_bytesRead = bytesRead;
            {
                std::lock_guard lock(m_lock);
                --m_inFlight;
            }
            m_batchDone.notify_all();
        },
        Qt::QueuedConnection);
}

void RecordingAnalysisRunner::Cancel()
{
    {
        std::lock_guard lock(m_lock);
        m_cancel = true;
    }
    m_batchDone.notify_all();
}

void RecordingAnalysisRunner::Join()
{
    if (m_worker.joinable())
        m_worker.join();
}
