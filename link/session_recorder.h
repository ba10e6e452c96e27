#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "link/read_stamp.h"

// Writes what the link received to a recording, byte for byte, and beside
// it the time index (FILE.times, see time_index.h): one line per read, so a
// playback can keep the pace the bytes came at. No window involved.
//
// Writes go straight to the files, unbuffered, so that the count of bytes
// that reached the disk is exact: when a write fails the recording stops,
// the bytes written so far stay, and the index describes exactly them.
class SessionRecorder {
public:
    SessionRecorder() = default;
    ~SessionRecorder();
    SessionRecorder(const SessionRecorder&) = delete;
    SessionRecorder& operator=(const SessionRecorder&) = delete;

    // Creates (truncates) `path` and its index. False, with LastError(),
    // when the recording cannot be created; a missing index only loses the
    // pace, so it does not stop the recording (IndexError() says why).
    bool Start(const std::string& path);

    // Appends `bytes`; each stamp marks where, within `bytes`, a read's
    // bytes begin. False when the write failed: the recording has stopped,
    // LastError() says why, Bytes() counts what reached the file.
    bool Append(std::string_view bytes, std::span<const ReadStamp> stamps = {});

    // Closes both files; false when closing the recording failed.
    bool Stop();

    bool IsRecording() const { return m_data >= 0; }
    uint64_t Bytes() const { return m_bytes; }  // 64 bits: a long recording passes 4 GiB
    uint64_t IndexLines() const { return m_indexLines; }
    const std::string& Path() const { return m_path; }
    const std::string& LastError() const { return m_error; }
    const std::string& IndexError() const { return m_indexError; }

private:
    void WriteIndex(std::span<const ReadStamp> stamps, uint64_t chunkStart, uint64_t written);
    void CloseIndex();

    int m_data = -1;
    int m_index = -1;
    std::string m_path;
    uint64_t m_bytes = 0;
    uint64_t m_indexLines = 0;
    int64_t m_startSteadyUs = 0;
    std::string m_error;
    std::string m_indexError;
};

// Microseconds on the clock the stamps use.
int64_t SteadyMicros();
int64_t UtcMicros();
