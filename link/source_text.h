#pragma once

#include <string>
#include <string_view>

// Where the link reads NMEA from, as the user names it. The one rule for a
// port text, used by the Connect dialog, the saved "Comm Port" setting,
// --connect and stelmap-cli:
//
//   4, COM4          COM4 of the other platform, which is /dev/ttyS3
//   /dev/ttyUSB0     a device path
//   ttyUSB0          a name in /dev
//   tcp://HOST:PORT  a TCP client (ser2net, a receiver's TCP port)
//   udp://[ADDRESS]:PORT   NMEA datagrams sent to this machine
//   gpsd://HOST[:PORT]     the receiver's NMEA through gpsd (port 2947)
//
// An "@BAUD" after a serial port gives its baud rate. White space around
// the text is ignored; scheme names are case-blind.
enum class SourceKind { Serial, Tcp, Udp, Gpsd };

inline constexpr int kGpsdDefaultPort = 2947;

struct SourceAddress {
    SourceKind kind = SourceKind::Serial;
    int comNumber = 0;   // serial named as COMn: n; 0 for a path
    std::string device;  // serial: the device to open
    std::string host;    // network: host name or address; udp: may be empty (any)
    int port = 0;        // network: 1..65535
    int baud = 0;        // serial with "@BAUD": the rate; 0 when not given
    bool operator==(const SourceAddress&) const = default;

    bool IsNetwork() const { return kind != SourceKind::Serial; }
};

struct SourceParse {
    SourceAddress address;
    std::string error;  // why the text names no source; empty when it does
    bool Ok() const { return error.empty(); }
};

// Pure: no system call, any input (the fuzzer feeds it arbitrary bytes).
SourceParse ParseSourceText(std::string_view text);

// The text that reads back as the same source, without the baud rate:
// "4", "/dev/ttyUSB0", "tcp://host:10110", "udp://:10110",
// "gpsd://localhost" (the port only when it is not 2947).
std::string SourceText(const SourceAddress& address);

// The device a serial port text names; empty when the text names no
// serial device.
std::string SerialDevicePath(std::string_view port);

// Whether two texts name the same thing to open (COM1 and /dev/ttyS0 do),
// ignoring the baud rate. False when either names nothing.
bool SameSource(std::string_view a, std::string_view b);
