#include "app/track_export_runner.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>

TrackExportRunner::~TrackExportRunner()
{
    Cancel();
    Join();
}

void TrackExportRunner::Join()
{
    if (m_worker.joinable())
        m_worker.join();
}

bool TrackExportRunner::Start(const QString& recording, const QString& output, TrackFormat format,
                              std::optional<TrackReference> user, Finished finished)
{
    if (IsRunning())
        return false;
    m_cancel = false;
    m_bytesRead = 0;
    m_totalBytes = static_cast<uint64_t>(std::max<qint64>(0, QFileInfo(recording).size()));
    const std::string in = QFile::encodeName(recording).toStdString();
    const std::string out = QFile::encodeName(output).toStdString();
    const std::string name = QFileInfo(recording).fileName().toStdString();
    m_worker = std::thread([=, this] {
        TrackExportResult result;
        std::FILE* input = std::fopen(in.c_str(), "rb");
        std::FILE* output = input != nullptr ? std::fopen(out.c_str(), "wb") : nullptr;
        if (input == nullptr || output == nullptr) {
            result.ok = false;
            result.error = std::strerror(errno);
        } else {
            result = ExportTrack(input, output, format, name, user, [this](uint64_t b) { m_bytesRead = b; }, &m_cancel);
        }
        if (input != nullptr)
            std::fclose(input);
        if (output != nullptr && std::fclose(output) != 0 && result.ok) {
            result.ok = false;
            result.error = std::strerror(errno);
        }
        if (output != nullptr && (!result.ok || result.cancelled))
            std::remove(out.c_str());
        if (finished)
            finished(result);
    });
    return true;
}
