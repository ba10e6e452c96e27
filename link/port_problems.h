#pragma once

#include <optional>
#include <string>

// What a user needs to know when a serial device cannot be opened, from
// what the system says about it (/proc, the device's owner group).

struct PortHolder {
    int pid = 0;
    std::string name;  // the program's name, as /proc/PID/comm gives it
};

// The first other process that has `device` open, if /proc lets us see it.
std::optional<PortHolder> FindPortHolder(const std::string& device);

// "/dev/ttyACM0 is in use by gpsd (pid 812). Connect to gpsd://localhost to
// share the receiver, or stop gpsd." Pure, for the message and its tests.
std::string BusyPortText(const std::string& device, const std::optional<PortHolder>& holder);

// "permission denied: /dev/ttyUSB0 belongs to the dialout group; add
// yourself to it: sudo usermod -aG dialout $USER, then log out and in".
// Pure; `group` empty when the group is unknown.
std::string PermissionDeniedText(const std::string& device, const std::string& group);

// The name of the group that owns `device`, or empty.
std::string DeviceGroup(const std::string& device);
