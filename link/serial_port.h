#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "link/gpsd_lines.h"
#include "link/network_source.h"
#include "link/open_failure.h"
#include "link/source_text.h"
#include "link/playback_pacer.h"

// The termios speed for a baud rate, if the system has one.
std::optional<unsigned> BaudRateSpeed(int baudRate);

// A source opened but not yet the link's: what OpenSourceHandle gives and
// CSio::Adopt takes, so that a new source can be opened while the current
// one keeps running, and only replace it once it works.
struct SourceHandle {
    int fd = -1;
    SourceKind kind = SourceKind::Serial;
    std::string name;  // the device path, or the network source's text
    int comNumber = 0;
    int baudRate = 0;
    OpenFailure failure = OpenFailure::None;
    int error = 0;
    std::string detail;  // the reason as the user reads it, when it says more than `failure`
    std::string reopenText;  // what a reconnect opens: the by-id name of a serial device when it has one
    bool pseudoTerminal = false;  // carries bytes at any rate: no baud rate applies

    SourceHandle() = default;
    SourceHandle(SourceHandle&& other) noexcept;
    SourceHandle& operator=(SourceHandle&& other) noexcept;
    ~SourceHandle();  // closes a handle nobody adopted
    bool Ok() const { return fd >= 0; }
};

// Opens what `text` names (a serial port at `baudRate`, or a network
// source). Blocks up to kConnectTimeout for a network source: call it off
// the window's thread.
SourceHandle OpenSourceHandle(std::string_view text, int baudRate,
                              std::chrono::milliseconds connectTimeout = kConnectTimeout);

// Whether `fd` is a pseudo-terminal's slave.
bool IsPseudoTerminalDevice(int fd);

// The name under `folder` (a symbolic link, as udev makes them) that leads to
// `device`, or empty. A USB receiver keeps that name when it comes back
// under another ttyUSB number.
std::string ByIdName(const std::string& device, const std::string& folder = "/dev/serial/by-id");

struct SioReadResult {
    long count = 0;         // bytes read; 0 when nothing was buffered
    bool playback = false;  // the bytes came from a playback file
    bool lost = false;      // the live device went away; the link is now closed
    bool rewound = false;   // a seek restarted the playback file: the bytes begin again
    bool ended = false;     // the playback reached the end of its file (reported once)
    int64_t waitUs = -1;    // playback: until more bytes are due; -1 when unknown or never
    bool more = false;      // more is waiting already: read again at once
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

    // Any source text (source_text.h), closing the current source first as
    // OpenPort does. Blocks up to kConnectTimeout for a network source.
    bool OpenSource(const std::string& text, int baudRate);

    // Makes an opened handle the source, closing the current one and
    // resetting the parser. A failed handle leaves the current source as it
    // is and only records why (LastOpenFailure, LastOpenErrorText).
    bool Adopt(SourceHandle handle);

    // Adopt, but only while nothing was opened or closed since Generation()
    // gave `generation`: a reconnect never replaces the user's own choice.
    bool AdoptIfUnchanged(SourceHandle handle, uint64_t generation);

    // Counts every open, adoption and close by the user (not a loss).
    uint64_t Generation() const { return m_generation.load(); }

    // The text that opens the current (or the lost) source again.
    std::string ReopenText() const;

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

    // Writes to a live device or TCP source, waiting at most
    // kWriteTimeoutMs for room. Returns the bytes written, or -1 when there
    // is no live device (closed or playback), the source takes no writes
    // (WriteRefusal), or the write failed before any byte went out.
    long Write(const void* data, size_t size);

    // One write that never waits: the bytes the source took (0 when it has
    // no room now), or -1 when there is no live writable source or it is
    // no longer the one Generation() gave as `generation`.
    long WriteSome(const void* data, size_t size, uint64_t generation);
    // Waits up to `timeout` for room to write; never holds the handle's
    // lock meanwhile, so reading goes on.
    void WaitWritable(std::chrono::milliseconds timeout) const;

    // Why the open source takes no writes (gpsd, UDP); empty when it does.
    std::string WriteRefusal() const;

    bool IsOpen() const { return m_hPort.load() != kInvalidHandle; }
    bool IsPlayback() const { return m_playback.load() != 0; }

    OpenFailure LastOpenFailure() const;
    int LastOpenErrno() const;
    std::string LastOpenErrorText() const;

    // The device path, or a network source's text ("tcp://host:10110").
    std::string DevicePath() const;
    SourceKind Kind() const { return static_cast<SourceKind>(m_kind.load()); }
    std::string PlaybackFile() const;
    int PortNumber() const { return m_portNumber.load(); }
    int BaudRate() const { return m_baudRate.load(); }
    // The open source is a pseudo-terminal: it has no baud rate.
    bool IsPseudoTerminal() const { return m_pseudoTerminal.load(); }
    // Datagrams the kernel dropped on a UDP source since it opened.
    uint64_t DatagramsDropped() const { return m_datagramsDropped.load(); }

private:
    bool Fail(OpenFailure failure, int error, int fd);
    void CloseLocked();
    SioReadResult ReadPlayback(int fd, uint8_t* buffer, size_t size);
    void TakeLocked(SourceHandle& handle);
    long ReadDatagrams(int fd, uint8_t* buffer, size_t size);

    mutable std::mutex m_handleLock;  // held for every use of the descriptor
    std::atomic<int> m_hPort{kInvalidHandle};
    std::atomic<int> m_playback{0};
    std::string m_playbackFile;
    PlaybackPacer m_pacer;
    std::atomic<uint64_t> m_delivered{0};
    bool m_endReported = false;
    std::atomic<int> m_portNumber{0};
    std::atomic<int> m_baudRate{0};
    std::atomic<bool> m_pseudoTerminal{false};
    std::atomic<uint64_t> m_datagramsDropped{0};
    std::string m_devicePath;
    std::atomic<int> m_kind{static_cast<int>(SourceKind::Serial)};
    GpsdLineFilter m_gpsdLines;
    std::string m_openDetail;
    std::string m_reopenText;
    std::atomic<uint64_t> m_generation{0};

    OpenFailure m_openFailure = OpenFailure::None;
    int m_openErrno = 0;
    std::function<void()> m_resetParser;
};
