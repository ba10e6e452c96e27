#include "link/serial_port.h"

#include <cerrno>
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <sys/mman.h>
#include <unistd.h>
#include <thread>
#include <utility>

#include "link/network_source.h"
#include "link/port_problems.h"

#include "link/session_recorder.h"
#include "link/time_index.h"

namespace {

struct BaudSpeed {
    int baud;
    speed_t speed;
};

constexpr BaudSpeed kBaudSpeeds[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

bool DeviceWentAway(int fd, long readResult, int error)
{
    if (readResult == 0 || error == EIO || error == ENXIO || error == ENODEV || error == ECONNRESET ||
        error == ETIMEDOUT || error == EPIPE || error == ENOTCONN)
        return true;
    if (error != EAGAIN && error != EINTR)
        return false;
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLNVAL)) != 0;
}

}  // namespace

std::optional<unsigned> BaudRateSpeed(int baudRate)
{
    for (const BaudSpeed& b : kBaudSpeeds)
        if (b.baud == baudRate)
            return static_cast<unsigned>(b.speed);
    return std::nullopt;
}

OpenFailure OpenFailureFromErrno(int error)
{
    switch (error) {
    case 0:
        return OpenFailure::None;
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOTDIR:
        return OpenFailure::NoSuchDevice;
    case EACCES:
    case EPERM:
    case EROFS:
        return OpenFailure::PermissionDenied;
    case EBUSY:
    case EWOULDBLOCK:
        return OpenFailure::Busy;
    case ENOTTY:
    case EISDIR:
        return OpenFailure::NotASerialDevice;
    case ECONNREFUSED:
        return OpenFailure::ConnectionRefused;
    case ETIMEDOUT:
        return OpenFailure::TimedOut;
    default:
        return OpenFailure::Other;
    }
}

std::string OpenFailureText(OpenFailure failure, int error)
{
    switch (failure) {
    case OpenFailure::None:
        return {};
    case OpenFailure::NoSuchDevice:
        return "no such device";
    case OpenFailure::PermissionDenied:
        return "permission denied (the user must be in the dialout group)";
    case OpenFailure::Busy:
        return "the device is in use by another program";
    case OpenFailure::NotASerialDevice:
        return "not a serial device";
    case OpenFailure::UnsupportedBaudRate:
        return "the baud rate is not supported";
    case OpenFailure::NotAFile:
        return "not a regular file";
    case OpenFailure::NoSuchHost:
        return "no such host";
    case OpenFailure::ConnectionRefused:
        return "connection refused";
    case OpenFailure::TimedOut:
        return "timed out";
    case OpenFailure::Other:
        break;
    }
    return error != 0 ? std::strerror(error) : "unknown error";
}

CSio::CSio(std::function<void()> resetParser)
    : m_resetParser(std::move(resetParser))
{
}

CSio::~CSio()
{
    Close();
}

bool CSio::OpenPort(int portNumber, int baudRate)
{
    return OpenPort(std::to_string(portNumber), baudRate);
}

bool CSio::OpenPort(const std::string& port, int baudRate)
{
    return OpenSource(port, baudRate);
}

bool CSio::OpenSource(const std::string& text, int baudRate)
{
    Close();
    ++m_generation;
    if (m_resetParser)
        m_resetParser();
    SourceHandle handle = OpenSourceHandle(text, baudRate);
    std::lock_guard lock(m_handleLock);
    m_portNumber = handle.comNumber;
    m_baudRate = handle.baudRate;
    m_devicePath = handle.name;
    TakeLocked(handle);
    return m_hPort.load() != kInvalidHandle;
}

bool CSio::Adopt(SourceHandle handle)
{
    if (!handle.Ok()) {
        std::lock_guard lock(m_handleLock);
        m_openFailure = handle.failure;
        m_openErrno = handle.error;
        m_openDetail = handle.detail;
        return false;
    }
    Close();
    ++m_generation;
    if (m_resetParser)
        m_resetParser();
    std::lock_guard lock(m_handleLock);
    m_portNumber = handle.comNumber;
    m_baudRate = handle.baudRate;
    m_devicePath = handle.name;
    TakeLocked(handle);
    return true;
}

bool CSio::AdoptIfUnchanged(SourceHandle handle, uint64_t generation)
{
    // The lock orders this against the user's opens and closes; the parser
    // reset takes only the parser's locks, never this one.
    std::lock_guard lock(m_handleLock);
    if (!handle.Ok() || m_generation.load() != generation)
        return false;
    CloseLocked();
    if (m_resetParser)
        m_resetParser();
    m_portNumber = handle.comNumber;
    m_baudRate = handle.baudRate;
    m_devicePath = handle.name;
    TakeLocked(handle);
    return true;
}

std::string CSio::ReopenText() const
{
    std::lock_guard lock(m_handleLock);
    return m_reopenText;
}

void CSio::TakeLocked(SourceHandle& handle)
{
    m_openFailure = handle.failure;
    m_openErrno = handle.error;
    m_openDetail = handle.detail;
    if (!handle.Ok())
        return;
    m_gpsdLines = GpsdLineFilter{};
    m_reopenText = handle.reopenText;
    m_kind = static_cast<int>(handle.kind);
    m_pseudoTerminal = handle.pseudoTerminal;
    m_datagramsDropped = 0;
    m_playback = 0;
    m_hPort = std::exchange(handle.fd, -1);
}

namespace {

SourceHandle SerialFailure(SourceHandle handle, OpenFailure failure, int error, int fd)
{
    if (fd >= 0)
        ::close(fd);
    handle.failure = failure;
    handle.error = error;
    if (failure == OpenFailure::Busy)
        handle.detail = BusyPortText(handle.name, FindPortHolder(handle.name));
    else if (failure == OpenFailure::PermissionDenied)
        handle.detail = PermissionDeniedText(handle.name, DeviceGroup(handle.name));
    return handle;
}

SourceHandle OpenSerial(SourceHandle handle)
{
    const std::string& path = handle.name;
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return SerialFailure(std::move(handle), OpenFailureFromErrno(errno), errno, -1);

    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) {
        const int error = errno;
        return SerialFailure(std::move(handle),
                             error == ENOTTY || error == EINVAL ? OpenFailure::NotASerialDevice : OpenFailure::Other,
                             error, fd);
    }
    // A program that locked the device keeps it. TIOCEXCL stops later opens
    // by others; root is exempt from it, not from the lock.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
        return SerialFailure(std::move(handle), OpenFailure::Busy, EBUSY, fd);
    ::ioctl(fd, TIOCEXCL);

    const std::optional<unsigned> speed = BaudRateSpeed(handle.baudRate);
    if (!speed)
        return SerialFailure(std::move(handle), OpenFailure::UnsupportedBaudRate, EINVAL, fd);
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    // With O_NONBLOCK a read gives what is buffered or EAGAIN; a read of 0
    // then only ever means a hang-up.
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    if (::cfsetispeed(&tio, *speed) != 0 || ::cfsetospeed(&tio, *speed) != 0)
        return SerialFailure(std::move(handle), OpenFailure::UnsupportedBaudRate, errno, fd);
    if (::tcsetattr(fd, TCSANOW, &tio) != 0)
        return SerialFailure(std::move(handle), errno == EINVAL ? OpenFailure::UnsupportedBaudRate : OpenFailure::Other,
                             errno, fd);
    // Some drivers accept any speed and keep their own; believe what sticks.
    termios applied{};
    if (::tcgetattr(fd, &applied) == 0 && ::cfgetospeed(&applied) != *speed)
        return SerialFailure(std::move(handle), OpenFailure::UnsupportedBaudRate, EINVAL, fd);

    int lines = TIOCM_DTR | TIOCM_RTS;
    ::ioctl(fd, TIOCMBIS, &lines);  // ENOTTY on a pseudo-terminal: nothing to raise
    handle.pseudoTerminal = IsPseudoTerminalDevice(fd);
    handle.fd = fd;
    return handle;
}

}  // namespace

bool IsPseudoTerminalDevice(int fd)
{
    // Unix 98 pseudo-terminal slaves have majors 136 to 143.
    struct stat st {};
    return ::fstat(fd, &st) == 0 && S_ISCHR(st.st_mode) && major(st.st_rdev) >= 136 && major(st.st_rdev) <= 143;
}

SourceHandle::SourceHandle(SourceHandle&& other) noexcept
{
    *this = std::move(other);
}

SourceHandle& SourceHandle::operator=(SourceHandle&& other) noexcept
{
    if (this != &other) {
        if (fd >= 0)
            ::close(fd);
        fd = std::exchange(other.fd, -1);
        kind = other.kind;
        name = std::move(other.name);
        comNumber = other.comNumber;
        baudRate = other.baudRate;
        failure = other.failure;
        error = other.error;
        detail = std::move(other.detail);
        reopenText = std::move(other.reopenText);
        pseudoTerminal = other.pseudoTerminal;
    }
    return *this;
}

SourceHandle::~SourceHandle()
{
    if (fd >= 0)
        ::close(fd);
}

std::string ByIdName(const std::string& device, const std::string& folder)
{
    std::error_code error;
    const std::filesystem::path target = std::filesystem::canonical(device, error);
    if (error)
        return {};
    if (std::filesystem::path(device).parent_path() == folder)
        return device;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        std::error_code e;
        if (entry.is_symlink(e) && std::filesystem::canonical(entry.path(), e) == target)
            return entry.path().string();
    }
    return {};
}

SourceHandle OpenSourceHandle(std::string_view text, int baudRate, std::chrono::milliseconds connectTimeout)
{
    SourceHandle handle;
    const SourceParse parse = ParseSourceText(text);
    const SourceAddress& address = parse.address;
    handle.kind = address.kind;
    handle.comNumber = address.comNumber;
    handle.baudRate = address.kind == SourceKind::Serial ? (address.baud > 0 ? address.baud : baudRate) : 0;
    if (!parse.Ok()) {
        handle.failure = address.kind == SourceKind::Serial ? OpenFailure::NoSuchDevice : OpenFailure::Other;
        handle.error = ENOENT;
        handle.detail = parse.error;
        return handle;
    }
    if (address.kind == SourceKind::Serial) {
        handle.name = address.device;
        handle = OpenSerial(std::move(handle));
        if (handle.Ok()) {
            const std::string byId = ByIdName(handle.name);
            handle.reopenText = byId.empty() ? handle.name : byId;
        }
        return handle;
    }
    handle.name = SourceText(address);
    handle.reopenText = handle.name;
    const SocketOpen socket = address.kind == SourceKind::Tcp    ? ConnectTcp(address.host, address.port, connectTimeout)
                              : address.kind == SourceKind::Gpsd ? ConnectGpsd(address.host, address.port, connectTimeout)
                                                                 : BindUdp(address.host, address.port);
    handle.fd = socket.fd;
    handle.failure = socket.failure;
    handle.error = socket.error;
    handle.detail = socket.detail;
    return handle;
}

bool CSio::OpenPlayback(const std::string& path)
{
    Close();
    ++m_generation;
    std::lock_guard lock(m_handleLock);
    m_openFailure = OpenFailure::None;
    m_openErrno = 0;
    m_openDetail.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        const OpenFailure failure = OpenFailureFromErrno(error);
        return Fail(failure == OpenFailure::NotASerialDevice ? OpenFailure::NotAFile : failure, error,
                    kInvalidHandle);
    }
    // Only a regular file: a FIFO or a device would block the reader.
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return Fail(OpenFailure::NotAFile, EINVAL, fd);
    // The pace comes from the whole file, mapped rather than read: a day
    // of fixes is hundreds of megabytes.
    const size_t size = static_cast<size_t>(st.st_size);
    void* mapped = size > 0 ? ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0) : nullptr;
    const std::string_view content =
        mapped != nullptr && mapped != MAP_FAILED ? std::string_view(static_cast<const char*>(mapped), size) : std::string_view();
    m_pacer.Load(PlaybackSchedule::For(content, ReadTimeIndex(TimeIndexPath(path))), SteadyMicros());
    if (mapped != nullptr && mapped != MAP_FAILED)
        ::munmap(mapped, size);
    m_delivered = 0;
    m_endReported = false;
    m_playbackFile = path;
    m_playback = 1;
    m_hPort = fd;
    return true;
}

void CSio::Close()
{
    std::lock_guard lock(m_handleLock);
    ++m_generation;
    CloseLocked();
}

void CSio::CloseLocked()
{
    const int fd = m_hPort.exchange(kInvalidHandle);
    if (fd != kInvalidHandle) {
        if (m_playback.load() == 0)
            ::ioctl(fd, TIOCNXCL);  // the flag outlives us while others hold the tty
        ::close(fd);
    }
    m_playback = 0;
    m_pseudoTerminal = false;
    m_kind = static_cast<int>(SourceKind::Serial);
}

bool CSio::Fail(OpenFailure failure, int error, int fd)
{
    if (fd != kInvalidHandle)
        ::close(fd);
    m_openFailure = failure;
    m_openErrno = error;
    m_openDetail.clear();
    return false;
}

SioReadResult CSio::Read(uint8_t* buffer, size_t liveSize, size_t playbackSize)
{
    std::lock_guard lock(m_handleLock);
    SioReadResult result;
    const int fd = m_hPort.load();
    if (fd == kInvalidHandle)
        return result;
    result.playback = m_playback.load() != 0;
    if (result.playback)
        return ReadPlayback(fd, buffer, playbackSize);
    const SourceKind kind = Kind();
    if (kind == SourceKind::Udp) {
        result.count = ReadDatagrams(fd, buffer, liveSize);
        int pending = 0;
        result.more = ::ioctl(fd, FIONREAD, &pending) == 0 && pending > 0;
        return result;  // a listening socket has nothing to lose
    }
    const long n = ::read(fd, buffer, liveSize);
    if (n > 0) {
        result.count = kind == SourceKind::Gpsd ? static_cast<long>(m_gpsdLines.Filter(buffer, static_cast<size_t>(n))) : n;
        return result;
    }
    if (DeviceWentAway(fd, n, n < 0 ? errno : 0)) {
        CloseLocked();
        result.lost = true;
    }
    return result;
}

SioReadResult CSio::ReadPlayback(int fd, uint8_t* buffer, size_t size)
{
    SioReadResult result;
    result.playback = true;
    if (m_pacer.TakeRewind() && ::lseek(fd, 0, SEEK_SET) == 0) {
        m_delivered = 0;
        m_endReported = false;
        result.rewound = true;
    }
    const uint64_t delivered = m_delivered.load();
    const PlaybackPacer::Due due = m_pacer.DueNow(delivered, SteadyMicros());
    result.waitUs = due.waitUs;
    if (due.bytes <= delivered)
        return result;
    const long n = ::read(fd, buffer, static_cast<size_t>(std::min<uint64_t>(size, due.bytes - delivered)));
    if (n > 0) {
        result.count = n;
        m_delivered = delivered + static_cast<uint64_t>(n);
        m_pacer.Delivered(m_delivered.load(), SteadyMicros());
        result.waitUs = 0;  // ask again at once: more may be due
        return result;
    }
    // The end of the file: idle until the user stops, saying so once.
    if (n == 0 && !m_endReported) {
        m_endReported = true;
        result.ended = true;
    }
    result.waitUs = -1;
    return result;
}

long CSio::ReadDatagrams(int fd, uint8_t* buffer, size_t size)
{
    // Each datagram holds a sentence or a few; take what fits whole.
    constexpr size_t kLargestDatagram = 2048;
    size_t filled = 0;
    while (size - filled >= kLargestDatagram) {
        // A datagram that does not fit whole waits for the next read.
        int next = 0;
        if (filled > 0 && ::ioctl(fd, FIONREAD, &next) == 0 && static_cast<size_t>(next) > size - filled)
            break;
        iovec part{buffer + filled, size - filled};
        alignas(cmsghdr) char control[CMSG_SPACE(sizeof(uint32_t))];
        msghdr message{};
        message.msg_iov = &part;
        message.msg_iovlen = 1;
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        const long n = ::recvmsg(fd, &message, MSG_DONTWAIT);
        if (n <= 0)
            break;
        // The kernel's count of datagrams dropped on this socket so far.
        for (cmsghdr* c = CMSG_FIRSTHDR(&message); c != nullptr; c = CMSG_NXTHDR(&message, c))
            if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SO_RXQ_OVFL) {
                uint32_t dropped = 0;
                std::memcpy(&dropped, CMSG_DATA(c), sizeof dropped);
                m_datagramsDropped = dropped;
            }
        filled += static_cast<size_t>(n);
    }
    return static_cast<long>(filled);
}

std::string CSio::WriteRefusal() const
{
    if (m_playback.load() != 0 || m_hPort.load() == kInvalidHandle)
        return {};
    switch (Kind()) {
    case SourceKind::Gpsd:
        return "Not sent: a gpsd source only reads. gpsd shares the receiver between its clients and passes "
               "nothing back to it; connect to the receiver's port to send commands.";
    case SourceKind::Udp:
        return "Not sent: a UDP source only listens for datagrams and has no way back to the receiver.";
    default:
        return {};
    }
}

long CSio::Write(const void* data, size_t size)
{
    const uint64_t generation = Generation();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWriteTimeoutMs);
    const auto* bytes = static_cast<const uint8_t*>(data);
    size_t written = 0;
    while (written < size) {
        const long n = WriteSome(bytes + written, size - written, generation);
        if (n < 0)
            break;
        written += static_cast<size_t>(n);
        if (n > 0)
            continue;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        WaitWritable(left);
    }
    return written > 0 || size == 0 ? static_cast<long>(written) : -1;
}

long CSio::WriteSome(const void* data, size_t size, uint64_t generation)
{
    std::lock_guard lock(m_handleLock);
    const int fd = m_hPort.load();
    if (fd == kInvalidHandle || m_playback.load() != 0 || m_generation.load() != generation)
        return -1;
    const SourceKind kind = Kind();
    if (kind == SourceKind::Gpsd || kind == SourceKind::Udp)
        return -1;
    while (true) {
        const long n = kind == SourceKind::Tcp ? ::send(fd, data, size, MSG_NOSIGNAL | MSG_DONTWAIT)
                                               : ::write(fd, data, size);
        if (n >= 0)
            return n;
        if (errno == EINTR)
            continue;
        return errno == EAGAIN || errno == EWOULDBLOCK ? 0 : -1;
    }
}

void CSio::WaitWritable(std::chrono::milliseconds timeout) const
{
    const int fd = m_hPort.load();
    if (fd == kInvalidHandle) {
        std::this_thread::sleep_for(timeout);
        return;
    }
    // Outside the lock: should the number be closed and reused meanwhile,
    // the next WriteSome finds out under the lock.
    pollfd p{fd, POLLOUT, 0};
    if (::poll(&p, 1, static_cast<int>(timeout.count())) > 0 && (p.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0)
        std::this_thread::sleep_for(timeout);
}

OpenFailure CSio::LastOpenFailure() const
{
    std::lock_guard lock(m_handleLock);
    return m_openFailure;
}

int CSio::LastOpenErrno() const
{
    std::lock_guard lock(m_handleLock);
    return m_openErrno;
}

std::string CSio::LastOpenErrorText() const
{
    std::lock_guard lock(m_handleLock);
    return m_openDetail.empty() ? OpenFailureText(m_openFailure, m_openErrno) : m_openDetail;
}

std::string CSio::DevicePath() const
{
    std::lock_guard lock(m_handleLock);
    return m_devicePath;
}

std::string CSio::PlaybackFile() const
{
    std::lock_guard lock(m_handleLock);
    return m_playbackFile;
}
