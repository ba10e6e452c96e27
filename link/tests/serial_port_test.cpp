#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <signal.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>

#include "link/port_problems.h"
#include "link/serial_port.h"
#include "link/tests/pseudo_terminal.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

fs::path TempPath(const std::string& name)
{
    return fs::temp_directory_path() / ("stelmap_sio_" + std::to_string(::getpid()) + "_" + name);
}

void WriteFile(const fs::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

// Reads until something arrives or `patience` passes.
SioReadResult ReadSoon(SerialPort& sio, uint8_t* buffer, size_t size, std::chrono::milliseconds patience = 1000ms)
{
    const auto end = std::chrono::steady_clock::now() + patience;
    SioReadResult r;
    do {
        r = sio.Read(buffer, size, size);
        if (r.count > 0 || r.lost)
            break;
        std::this_thread::sleep_for(5ms);
    } while (std::chrono::steady_clock::now() < end);
    return r;
}

TEST(SerialDevicePath, NumbersNameComPortsAndPathsPassThrough)
{
    const struct {
        const char* port;
        const char* path;
    } cases[] = {
        {"1", "/dev/ttyS0"},
        {"12", "/dev/ttyS11"},
        {"0", ""},
        {"", ""},
        {"99999999999", ""},  // does not fit: names nothing
        {"/dev/ttyUSB0", "/dev/ttyUSB0"},
        {"/dev/pts/3", "/dev/pts/3"},
        {"COM2", "/dev/ttyS1"},
        {"-1", "/dev/-1"},  // not a number: a name in /dev
        {"tcp://host:1", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SerialDevicePath(c.port), c.path) << c.port;
}

TEST(BaudRateSpeed, StandardRatesOnly)
{
    const struct {
        int baud;
        bool supported;
        speed_t speed;
    } cases[] = {
        {4800, true, B4800},    {9600, true, B9600},    {19200, true, B19200}, {38400, true, B38400},
        {115200, true, B115200}, {921600, true, B921600}, {0, false, 0},        {-9600, false, 0},
        {12345, false, 0},       {9601, false, 0},
    };
    for (const auto& c : cases) {
        const auto speed = BaudRateSpeed(c.baud);
        ASSERT_EQ(speed.has_value(), c.supported) << c.baud;
        if (c.supported) {
            EXPECT_EQ(*speed, c.speed) << c.baud;
        }
    }
}

TEST(OpenFailure, ErrnoAndTextNameTheReason)
{
    const struct {
        int error;
        OpenFailure failure;
        const char* textPart;
    } cases[] = {
        {ENOENT, OpenFailure::NoSuchDevice, "no such device"},
        {ENXIO, OpenFailure::NoSuchDevice, "no such device"},
        {ENODEV, OpenFailure::NoSuchDevice, "no such device"},
        {EACCES, OpenFailure::PermissionDenied, "dialout"},
        {EPERM, OpenFailure::PermissionDenied, "permission denied"},
        {EBUSY, OpenFailure::Busy, "in use"},
        {ENOTTY, OpenFailure::NotASerialDevice, "not a serial device"},
        {EISDIR, OpenFailure::NotASerialDevice, "not a serial device"},
        {EMFILE, OpenFailure::Other, "Too many open files"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OpenFailureFromErrno(c.error), c.failure) << c.error;
        EXPECT_NE(OpenFailureText(c.failure, c.error).find(c.textPart), std::string::npos)
            << OpenFailureText(c.failure, c.error);
    }
}

TEST(SerialPort, OpenFailuresLeaveNoSourceAndSayWhy)
{
    const fs::path file = TempPath("regular");
    WriteFile(file, "$GPGGA\r\n");
    const fs::path dir = TempPath("dir");
    fs::create_directory(dir);
    PseudoTerminal pty;
    ASSERT_FALSE(pty.SlavePath().empty());

    const struct {
        std::string port;
        int baud;
        OpenFailure failure;
    } cases[] = {
        {"/dev/stelmap-no-such-tty", 9600, OpenFailure::NoSuchDevice},
        {"0", 9600, OpenFailure::NoSuchDevice},
        {"", 9600, OpenFailure::NoSuchDevice},
        {"/dev/null", 9600, OpenFailure::NotASerialDevice},
        {file.string(), 9600, OpenFailure::NotASerialDevice},
        {dir.string(), 9600, OpenFailure::NotASerialDevice},
        {pty.SlavePath(), 12345, OpenFailure::UnsupportedBaudRate},
        {pty.SlavePath(), 0, OpenFailure::UnsupportedBaudRate},
    };
    for (const auto& c : cases) {
        int resets = 0;
        SerialPort sio([&] { ++resets; });
        EXPECT_FALSE(sio.OpenPort(c.port, c.baud)) << c.port;
        EXPECT_EQ(sio.LastOpenFailure(), c.failure) << c.port;
        EXPECT_FALSE(sio.LastOpenErrorText().empty());
        EXPECT_FALSE(sio.IsOpen());
        EXPECT_EQ(resets, 1) << "the parser is reset even when the open fails";
        uint8_t buffer[16];
        const SioReadResult r = sio.Read(buffer, sizeof buffer, sizeof buffer);
        EXPECT_EQ(r.count, 0);
        EXPECT_FALSE(r.lost);
        EXPECT_EQ(sio.Write("x", 1), -1);
    }
    fs::remove(file);
    fs::remove(dir);
}

TEST(SerialPort, ADeviceHeldByAnotherLinkIsBusy)
{
    PseudoTerminal pty;
    SerialPort first;
    SerialPort second;
    ASSERT_TRUE(first.OpenPort(pty.SlavePath(), 9600)) << first.LastOpenErrorText();
    EXPECT_FALSE(second.OpenPort(pty.SlavePath(), 9600));
    EXPECT_EQ(second.LastOpenFailure(), OpenFailure::Busy);
    first.Close();
    EXPECT_TRUE(second.OpenPort(pty.SlavePath(), 9600)) << "free again once closed";
}

TEST(SerialPort, LineIsRaw8N1WithoutFlowControlAtTheRequestedBaud)
{
    const struct {
        int baud;
        speed_t speed;
    } cases[] = {{4800, B4800}, {9600, B9600}, {19200, B19200}, {38400, B38400}, {115200, B115200}};
    for (const auto& c : cases) {
        PseudoTerminal pty;
        SerialPort sio;
        ASSERT_TRUE(sio.OpenPort(pty.SlavePath(), c.baud)) << sio.LastOpenErrorText();
        EXPECT_EQ(sio.BaudRate(), c.baud);
        EXPECT_EQ(sio.DevicePath(), pty.SlavePath());
        termios tio{};
        ASSERT_EQ(::tcgetattr(pty.Master(), &tio), 0);  // a pty master reports its slave's line
        EXPECT_EQ(::cfgetospeed(&tio), c.speed) << c.baud;
        EXPECT_EQ(::cfgetispeed(&tio), c.speed) << c.baud;
        EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
        EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
        EXPECT_EQ(tio.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
        EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP), 0u);
        EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u);
        EXPECT_EQ(tio.c_oflag & OPOST, 0u);
    }
}

TEST(SerialPort, OpenPortByNumberNamesTtyS)
{
    SerialPort sio;
    sio.OpenPort(12, 9600);  // whatever the machine has, the device is ttyS11
    EXPECT_EQ(sio.DevicePath(), "/dev/ttyS11");
    EXPECT_EQ(sio.PortNumber(), 12);
}

TEST(SerialPort, ReopeningTheOpenPortClosesItFirst)
{
    PseudoTerminal pty;
    SerialPort sio;
    ASSERT_TRUE(sio.OpenPort(pty.SlavePath(), 9600));
    ASSERT_TRUE(sio.OpenPort(pty.SlavePath(), 4800)) << sio.LastOpenErrorText();
    ASSERT_TRUE(pty.Write("abc"));
    uint8_t buffer[16];
    EXPECT_EQ(ReadSoon(sio, buffer, sizeof buffer).count, 3);
}

TEST(SerialPort, BytesFlowBothWaysAndAnEmptyReadIsNotALoss)
{
    PseudoTerminal pty;
    SerialPort sio;
    ASSERT_TRUE(sio.OpenPort(pty.SlavePath(), 9600));
    uint8_t buffer[64];
    const SioReadResult idle = sio.Read(buffer, sizeof buffer, sizeof buffer);
    EXPECT_EQ(idle.count, 0);
    EXPECT_FALSE(idle.lost);

    const std::string bytes("$PXTNCFG*50\r\n\x00\xB0", 15);
    ASSERT_TRUE(pty.Write(bytes));
    const SioReadResult r = ReadSoon(sio, buffer, sizeof buffer);
    ASSERT_EQ(r.count, 15);
    EXPECT_FALSE(r.playback);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 15), bytes) << "raw: nothing translated";

    EXPECT_EQ(sio.Write("$PXTNCFG*50\r\n", 13), 13);
    EXPECT_EQ(pty.ReadAvailable(200ms), "$PXTNCFG*50\r\n");
}

TEST(SerialPort, APeerThatHangsUpIsReportedOnceAndClosed)
{
    PseudoTerminal pty;
    SerialPort sio;
    ASSERT_TRUE(sio.OpenPort(pty.SlavePath(), 9600));
    pty.CloseMaster();
    uint8_t buffer[64];
    const SioReadResult r = ReadSoon(sio, buffer, sizeof buffer);
    EXPECT_TRUE(r.lost);
    EXPECT_FALSE(sio.IsOpen());
    const SioReadResult again = sio.Read(buffer, sizeof buffer, sizeof buffer);
    EXPECT_FALSE(again.lost);
    EXPECT_EQ(sio.Write("x", 1), -1);
}

TEST(SerialPort, PlaybackReadsItsOwnSizeAndIdlesAtTheEnd)
{
    const fs::path file = TempPath("playback");
    WriteFile(file, std::string(6000, 'x'));
    SerialPort sio;
    ASSERT_TRUE(sio.OpenPlayback(file.string())) << sio.LastOpenErrorText();
    EXPECT_TRUE(sio.IsPlayback());
    EXPECT_EQ(sio.PlaybackFile(), file.string());
    EXPECT_EQ(sio.Write("x", 1), -1) << "nothing is sent to a recording";

    // Unpaced, so that only the read size limits a read.
    sio.Pacer().SetSpeed(PlaybackPacer::kAsFastAsPossible, 0);
    std::vector<uint8_t> buffer(10240);
    std::vector<long> reads;
    std::vector<bool> ends;
    for (int i = 0; i < 5; ++i) {
        const SioReadResult r = sio.Read(buffer.data(), 10240, 2560);
        EXPECT_TRUE(r.playback);
        EXPECT_FALSE(r.lost);
        reads.push_back(r.count);
        ends.push_back(r.ended);
    }
    EXPECT_EQ(reads, (std::vector<long>{2560, 2560, 880, 0, 0}));
    EXPECT_EQ(ends, (std::vector<bool>{false, false, false, true, false})) << "the end is told once";
    EXPECT_TRUE(sio.IsOpen()) << "the end of the file keeps the playback open";
    sio.Close();
    EXPECT_FALSE(sio.IsOpen());
    EXPECT_FALSE(sio.IsPlayback());
    fs::remove(file);
}

TEST(SerialPort, PlaybackNeedsARegularFile)
{
    const fs::path dir = TempPath("playdir");
    fs::create_directory(dir);
    const struct {
        std::string path;
        OpenFailure failure;
    } cases[] = {
        {"/nonexistent/recording.nmea", OpenFailure::NoSuchDevice},
        {dir.string(), OpenFailure::NotAFile},
        {"/dev/null", OpenFailure::NotAFile},
    };
    for (const auto& c : cases) {
        SerialPort sio;
        EXPECT_FALSE(sio.OpenPlayback(c.path)) << c.path;
        EXPECT_EQ(sio.LastOpenFailure(), c.failure) << c.path;
        EXPECT_FALSE(sio.IsOpen());
        EXPECT_FALSE(sio.IsPlayback());
    }
    fs::remove(dir);
}

}  // namespace

// Another program holds the device: the message names it from /proc.
TEST(SerialPort, ABusyPortNamesTheProgramThatHoldsIt)
{
    PseudoTerminal pty;
    const pid_t holder = ::fork();
    if (holder == 0) {
        const int fd = ::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY);
        ::flock(fd, LOCK_EX);
        ::prctl(PR_SET_NAME, "gpsd");
        ::pause();
        ::_exit(0);
    }
    ASSERT_GT(holder, 0);
    SerialPort sio;
    bool busy = false;
    for (int i = 0; i < 100 && !busy; ++i) {
        busy = !sio.OpenPort(pty.SlavePath(), 9600) && sio.LastOpenFailure() == OpenFailure::Busy;
        if (!busy) {
            sio.Close();
            std::this_thread::sleep_for(10ms);
        }
    }
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    ASSERT_TRUE(busy);
    EXPECT_EQ(sio.LastOpenErrorText(), pty.SlavePath() + " is in use by gpsd (pid " + std::to_string(holder) +
                                           "). Connect to gpsd://localhost to share the receiver, or stop gpsd.");
}

TEST(PortProblems, TextsNameTheHolderAndTheRemedy)
{
    EXPECT_EQ(BusyPortText("/dev/ttyACM0", PortHolder{812, "minicom"}),
              "/dev/ttyACM0 is in use by minicom (pid 812). Close it there, or stop minicom.");
    EXPECT_EQ(BusyPortText("/dev/ttyACM0", std::nullopt), "/dev/ttyACM0 is in use by another program");
    EXPECT_EQ(PermissionDeniedText("/dev/ttyUSB0", "dialout"),
              "permission denied: /dev/ttyUSB0 belongs to the dialout group; add yourself to the dialout group: "
              "sudo usermod -aG dialout $USER, then log out and in");
    EXPECT_EQ(DeviceGroup("/dev/null"), "root");
}
