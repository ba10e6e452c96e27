#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

#include "link/read_stamp.h"
#include "link/session_recorder.h"

// The link's recording, written by the reader as each read comes in, so
// that the window's pace never decides what reaches the file. The window
// starts and stops it; every call takes the one lock.
class LinkRecording {
public:
    bool Start(const std::string& path)
    {
        std::lock_guard lock(m_lock);
        m_failed = false;
        return m_recorder.Start(path);
    }
    // Closes the files; false when closing the recording failed.
    bool Stop()
    {
        std::lock_guard lock(m_lock);
        return m_recorder.Stop();
    }
    // On the reader: one read's bytes. A failed write ends the recording;
    // TakeFailure then tells it once.
    void Append(std::string_view bytes, const ReadStamp& stamp)
    {
        std::lock_guard lock(m_lock);
        if (m_recorder.IsRecording() && !m_recorder.Append(bytes, {&stamp, 1}))
            m_failed = true;
    }
    // Why the recording ended by itself, once; empty when it did not.
    std::string TakeFailure()
    {
        std::lock_guard lock(m_lock);
        if (!m_failed)
            return {};
        m_failed = false;
        return m_recorder.LastError().empty() ? std::string("write failed") : m_recorder.LastError();
    }

    bool IsRecording() const
    {
        std::lock_guard lock(m_lock);
        return m_recorder.IsRecording();
    }
    uint64_t Bytes() const
    {
        std::lock_guard lock(m_lock);
        return m_recorder.Bytes();
    }
    std::string Path() const
    {
        std::lock_guard lock(m_lock);
        return m_recorder.Path();
    }
    std::string LastError() const
    {
        std::lock_guard lock(m_lock);
        return m_recorder.LastError();
    }
    std::string IndexError() const
    {
        std::lock_guard lock(m_lock);
        return m_recorder.IndexError();
    }

private:
    mutable std::mutex m_lock;
    SessionRecorder m_recorder;
    bool m_failed = false;
};
