#include "link/serial_port.h"

#include <cerrno>
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <sys/mman.h>
#include <unistd.h>

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

bool AllDigits(std::string_view text)
{
    if (text.empty())
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// The port number a numeric setting names; 0 for a path.
int PortNumberOf(std::string_view port)
{
    int number = 0;
    if (!AllDigits(port) || std::from_chars(port.data(), port.data() + port.size(), number).ec != std::errc())
        return 0;
    return number;
}

bool DeviceWentAway(int fd, long readResult, int error)
{
    if (readResult == 0 || error == EIO || error == ENXIO || error == ENODEV)
        return true;
    if (error != EAGAIN && error != EINTR)
        return false;
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLNVAL)) != 0;
}

}  // namespace

std::string SerialDevicePath(std::string_view port)
{
    if (port.empty())
        return {};
    if (!AllDigits(port))
        return std::string(port);
    const int number = PortNumberOf(port);
    if (number < 1)
        return {};
    return "/dev/ttyS" + std::to_string(number - 1);
}

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
    Close();
    if (m_resetParser)
        m_resetParser();
    m_portNumber = PortNumberOf(port);
    m_baudRate = baudRate;

    const std::string path = SerialDevicePath(port);
    std::lock_guard lock(m_handleLock);
    m_devicePath = path;
    m_openFailure = OpenFailure::None;
    m_openErrno = 0;
    if (path.empty())
        return Fail(OpenFailure::NoSuchDevice, ENOENT, kInvalidHandle);

    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return Fail(OpenFailureFromErrno(errno), errno, kInvalidHandle);

    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) {
        const int error = errno;
        return Fail(error == ENOTTY || error == EINVAL ? OpenFailure::NotASerialDevice : OpenFailure::Other,
                    error, fd);
    }
    // A program that locked the device keeps it. TIOCEXCL stops later opens
    // by others; root is exempt from it, not from the lock.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
        return Fail(OpenFailure::Busy, EBUSY, fd);
    ::ioctl(fd, TIOCEXCL);

    const std::optional<unsigned> speed = BaudRateSpeed(baudRate);
    if (!speed)
        return Fail(OpenFailure::UnsupportedBaudRate, EINVAL, fd);
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    // With O_NONBLOCK a read gives what is buffered or EAGAIN; a read of 0
    // then only ever means a hang-up.
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    if (::cfsetispeed(&tio, *speed) != 0 || ::cfsetospeed(&tio, *speed) != 0)
        return Fail(OpenFailure::UnsupportedBaudRate, errno, fd);
    if (::tcsetattr(fd, TCSANOW, &tio) != 0)
        return Fail(errno == EINVAL ? OpenFailure::UnsupportedBaudRate : OpenFailure::Other, errno, fd);
    // Some drivers accept any speed and keep their own; believe what sticks.
    termios applied{};
    if (::tcgetattr(fd, &applied) == 0 && ::cfgetospeed(&applied) != *speed)
        return Fail(OpenFailure::UnsupportedBaudRate, EINVAL, fd);

    int lines = TIOCM_DTR | TIOCM_RTS;
    ::ioctl(fd, TIOCMBIS, &lines);  // ENOTTY on a pseudo-terminal: nothing to raise

    m_playback = 0;
    m_hPort = fd;
    return true;
}

bool CSio::OpenPlayback(const std::string& path)
{
    Close();
    std::lock_guard lock(m_handleLock);
    m_openFailure = OpenFailure::None;
    m_openErrno = 0;
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
}

bool CSio::Fail(OpenFailure failure, int error, int fd)
{
    if (fd != kInvalidHandle)
        ::close(fd);
    m_openFailure = failure;
    m_openErrno = error;
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
    const long n = ::read(fd, buffer, liveSize);
    if (n > 0) {
        result.count = n;
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

long CSio::Write(const void* data, size_t size)
{
    std::lock_guard lock(m_handleLock);
    const int fd = m_hPort.load();
    if (fd == kInvalidHandle || m_playback.load() != 0)
        return -1;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWriteTimeoutMs);
    const auto* bytes = static_cast<const uint8_t*>(data);
    size_t written = 0;
    while (written < size) {
        const long n = ::write(fd, bytes + written, size - written);
        if (n > 0) {
            written += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN)
            break;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        pollfd p{fd, POLLOUT, 0};
        ::poll(&p, 1, static_cast<int>(left.count()));
    }
    return written > 0 || size == 0 ? static_cast<long>(written) : -1;
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
    return OpenFailureText(m_openFailure, m_openErrno);
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
