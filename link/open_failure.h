#pragma once

#include <string>

// Why an open failed, for the caller's message.
enum class OpenFailure {
    None,
    NoSuchDevice,
    PermissionDenied,
    Busy,
    NotASerialDevice,
    UnsupportedBaudRate,
    NotAFile,  // a playback source that is not a regular file
    NoSuchHost,
    ConnectionRefused,
    TimedOut,
    Other,
};

// How an errno from opening a device or a socket reads to the user.
OpenFailure OpenFailureFromErrno(int error);

// "no such device", "permission denied ... dialout group", "connection
// refused", ...: one line that names the reason, for the caller's message.
std::string OpenFailureText(OpenFailure failure, int error);
