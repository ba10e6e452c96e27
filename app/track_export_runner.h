#pragma once

#include <QString>
#include <atomic>
#include <functional>
#include <thread>

#include "analysis/track_export.h"

// Writes a recording's track on a worker thread; the window polls the
// progress and may cancel. A cancelled or failed export removes what it wrote.
class TrackExportRunner {
public:
    using Finished = std::function<void(const TrackExportResult&)>;  // on the worker thread

    ~TrackExportRunner();
    bool Start(const QString& recording, const QString& output, TrackFormat format,
               std::optional<TrackReference> user, Finished finished);
    void Cancel() { m_cancel = true; }
    void Join();
    bool IsRunning() const { return m_worker.joinable(); }
    uint64_t BytesRead() const { return m_bytesRead.load(); }
    uint64_t TotalBytes() const { return m_totalBytes.load(); }

private:
    std::thread m_worker;
    std::atomic<bool> m_cancel{false};
    std::atomic<uint64_t> m_bytesRead{0};
    std::atomic<uint64_t> m_totalBytes{0};
};
