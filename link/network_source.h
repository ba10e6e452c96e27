#pragma once

#include <chrono>
#include <string>

#include "link/open_failure.h"

// Sockets for the network sources, in plain POSIX so that stelmap-cli can
// use them without Qt. Each call blocks (name lookup, connect): run it on a
// worker or the reader thread, never on a window's thread.

inline constexpr std::chrono::milliseconds kConnectTimeout{5000};

// What gpsd must hear before it sends a client the receiver's NMEA.
inline constexpr char kGpsdWatchRequest[] = "?WATCH={\"enable\":true,\"nmea\":true}\n";

struct SocketOpen {
    int fd = -1;  // non-blocking, close-on-exec; -1 on failure
    OpenFailure failure = OpenFailure::None;
    int error = 0;
    std::string detail;  // the reason as the user reads it, on failure
};

// A TCP client connected to HOST:PORT, trying each address the name has,
// within `timeout` in all.
SocketOpen ConnectTcp(const std::string& host, int port, std::chrono::milliseconds timeout = kConnectTimeout);

// A UDP socket bound to ADDRESS:PORT (any address when `host` is empty).
// The receive buffer a UDP source asks for.
inline constexpr int kUdpReceiveBuffer = 1 << 20;

SocketOpen BindUdp(const std::string& host, int port);

// Connects to gpsd and asks it for the receiver's NMEA.
SocketOpen ConnectGpsd(const std::string& host, int port, std::chrono::milliseconds timeout = kConnectTimeout);
