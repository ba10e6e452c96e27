#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "link/playback_pacer.h"

// Why an open failed, for the caller's message.
enum class OpenFailure {
    None,
    NoSuchDevice,
    PermissionDenied,
    Busy,
    NotASerialDevice,
    UnsupportedBaudRate,
    NotAFile,  // a playback source that is not a regular file
    Other,
};

// The device a "Comm Port" setting names: a number n means COMn, which is
// /dev/ttyS<n-1>; anything else is taken as a device path. Empty when the
// text names no device (empty, or a number below 1).
std::string SerialDevicePath(std::string_view port);

// The termios speed for a baud rate, if the system has one.
std::optional<unsigned> BaudRateSpeed(int baudRate);

// How an errno from opening a device reads to the user.
OpenFailure OpenFailureFromErrno(int error);

// "no such device", "permission denied ... dialout group", ...: one line
// that names the reason, for the caller's message box.
std::string OpenFailureText(OpenFailure failure, int error);

struct SioReadResult {
    long count = 0;         // bytes read; 0 when nothing was buffered
    bool playback = false;  // the bytes came from a playback file
    bool lost = false;      // the live device went away; the link is now closed
    bool rewound = false;   // a seek restarted the playback file: the bytes begin again
    bool ended = false;     // the playback reached the end of its file (reported once)
    int64_t waitUs = -1;    // playback: until more bytes are due; -1 when unknown or never
};

// The one input handle of the program: a serial device, a playback file, or
// nothing. The reader thread reads it while the GUI thread writes, opens and
// closes it, so every use of the descriptor happens under one mutex: a close
// can never overlap a read or a write, and a descriptor number is never
// reused behind a reader's back.
class CSio {
public:
    static constexpr int kInvalidHandle = -1;
    static constexpr int kWriteTimeoutMs = 1000;

    // `resetParser` runs on every OpenPort after the old source is closed
    // and before the new one opens, also when the open then fails.
    explicit CSio(std::function<void()> resetParser = {});
    virtual ~CSio();
    CSio(const CSio&) = delete;
    CSio& operator=(const CSio&) = delete;

    // Opens COMn (/dev/ttyS<n-1>) or a device path, raw 8N1 at `baudRate`,
    // no flow control, DTR and RTS raised, reads that return at once. On
    // failure the link has no source and LastOpenFailure() says why.
    bool OpenPort(int portNumber, int baudRate);
    bool OpenPort(const std::string& port, int baudRate);

    // Makes a recorded file the source. Writes are ignored while it plays.
    // The file plays at the pace of its time index (FILE.times), else of
    // its sentences' UTC times, else at 2,560 bytes every 100 ms.
    bool OpenPlayback(const std::string& path);

    // The playback's clock: speed, pause, step, seek.
    PlaybackPacer& Pacer() { return m_pacer; }
    // Bytes of the playback file delivered so far.
    uint64_t PlaybackDelivered() const { return m_delivered.load(); }

    // The closing procedure: no source afterwards.
    void Close();

    // One read of what is buffered: at most `liveSize` bytes from a device,
    // `playbackSize` from a playback file, of the bytes its pace makes due. A device that went away (hang-up,
    // read of 0, EIO, ENXIO) is closed here, and reported once through
    // `lost`. The end of a playback file is not a loss: playback idles.
    SioReadResult Read(uint8_t* buffer, size_t liveSize, size_t playbackSize);

    // Writes to a live device, waiting at most kWriteTimeoutMs for room.
    // Returns the bytes written, or -1 when there is no live device (closed
    // or playback) or the write failed before any byte went out.
    long Write(const void* data, size_t size);

    bool IsOpen() const { return m_hPort.load() != kInvalidHandle; }
    bool IsPlayback() const { return m_playback.load() != 0; }

    OpenFailure LastOpenFailure() const;
    int LastOpenErrno() const;
    std::string LastOpenErrorText() const;

    std::string DevicePath() const;
    std::string PlaybackFile() const;
    int PortNumber() const { return m_portNumber.load(); }
    int BaudRate() const { return m_baudRate.load(); }

private:
    bool Fail(OpenFailure failure, int error, int fd);
    void CloseLocked();
    SioReadResult ReadPlayback(int fd, uint8_t* buffer, size_t size);

    mutable std::mutex m_handleLock;  // held for every use of the descriptor
    std::atomic<int> m_hPort{kInvalidHandle};
    std::atomic<int> m_playback{0};
    std::string m_playbackFile;
    PlaybackPacer m_pacer;
    std::atomic<uint64_t> m_delivered{0};
    bool m_endReported = false;
    std::atomic<int> m_portNumber{0};
    std::atomic<int> m_baudRate{0};
    std::string m_devicePath;

    OpenFailure m_openFailure = OpenFailure::None;
    int m_openErrno = 0;
    std::function<void()> m_resetParser;
};
