#include "link/session_recorder.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "link/time_index.h"

namespace {

// Writes all of `size` unless the system refuses; the bytes written.
size_t WriteAll(int fd, const char* data, size_t size, int& error)
{
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        error = n < 0 ? errno : ENOSPC;
        break;
    }
    return done;
}

int CreateFile(const std::string& path)
{
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
}

}  // namespace

int64_t SteadyMicros()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int64_t UtcMicros()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

SessionRecorder::~SessionRecorder() { Stop(); }

bool SessionRecorder::Start(const std::string& path)
{
    Stop();
    m_bytes = 0;
    m_indexLines = 0;
    m_error.clear();
    m_indexError.clear();
    m_data = CreateFile(path);
    if (m_data < 0) {
        m_error = std::strerror(errno);
        return false;
    }
    m_path = path;
    m_startSteadyUs = SteadyMicros();
    m_index = CreateFile(TimeIndexPath(path));
    int error = 0;
    if (m_index < 0)
        m_indexError = std::strerror(errno);
    else if (const size_t n = std::strlen(kTimeIndexHeader); WriteAll(m_index, kTimeIndexHeader, n, error) != n) {
        m_indexError = std::strerror(error);
        CloseIndex();
    }
    return true;
}

bool SessionRecorder::Append(std::string_view bytes, std::span<const ReadStamp> stamps)
{
    if (m_data < 0)
        return false;
    int error = 0;
    const uint64_t chunkStart = m_bytes;
    const size_t written = WriteAll(m_data, bytes.data(), bytes.size(), error);
    m_bytes += written;
    // The index only ever names bytes that are in the file.
    WriteIndex(stamps, chunkStart, written);
    if (written == bytes.size())
        return true;
    m_error = std::strerror(error);
    ::close(m_data);
    m_data = -1;
    CloseIndex();
    return false;
}

void SessionRecorder::WriteIndex(std::span<const ReadStamp> stamps, uint64_t chunkStart, uint64_t written)
{
    if (m_index < 0)
        return;
    std::string lines;
    for (const ReadStamp& stamp : stamps) {
        if (stamp.begin >= written)
            break;
        const int64_t since = stamp.steadyUs - m_startSteadyUs;
        lines += FormatTimeIndexLine({chunkStart + stamp.begin, since > 0 ? since : 0, stamp.utcUs});
        ++m_indexLines;
    }
    int error = 0;
    if (!lines.empty() && WriteAll(m_index, lines.data(), lines.size(), error) != lines.size()) {
        m_indexError = std::strerror(error);
        CloseIndex();
    }
}

void SessionRecorder::CloseIndex()
{
    if (m_index >= 0)
        ::close(m_index);
    m_index = -1;
}

bool SessionRecorder::Stop()
{
    CloseIndex();
    if (m_data < 0)
        return true;
    const bool closed = ::close(m_data) == 0;
    m_data = -1;
    if (!closed)
        m_error = std::strerror(errno);
    return closed;
}
