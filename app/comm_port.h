#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The serial port the user chose: a number n, meaning COMn, or a device path.
// The number form is what older settings hold and what users of the other
// platform type; on Linux COMn is /dev/ttyS<n-1>.
struct CommPort {
    int number = 1;     // used while path is empty
    std::string path;   // a device path such as /dev/ttyUSB0

    bool IsPath() const { return !path.empty(); }
    bool operator==(const CommPort&) const = default;
};

// A port as the user typed it: a text starting with "/" is a device path
// (surrounding white space dropped); anything else is read as a number the
// way atoi does, 0 when no number starts the text.
CommPort CommPortFromText(std::string_view text);

// The text that CommPortFromText reads back: "4" or "/dev/ttyUSB0".
std::string CommPortText(const CommPort& port);

// The device to open: the path itself, or /dev/ttyS<n-1> for COMn. Empty for
// a number below 1, which names no port.
std::string CommPortDevice(const CommPort& port);

// Whether two choices open the same device (COM1 and /dev/ttyS0 do).
bool SameDevice(const CommPort& a, const CommPort& b);

// The port list of the Connect dialog. An entry reads "PORT - (description)",
// at most 255 characters; the list is sorted as text (ignoring case), so
// "10 - (...)" comes before "3 - (...)".
inline constexpr std::size_t kPortEntryMaxLength = 255;
std::string PortListEntryText(std::string_view port, std::string_view description);
std::vector<std::string> PortListEntries(
    const std::vector<std::pair<std::string, std::string>>& portsAndDescriptions);

// What stands before " - (" in an entry, or the whole text when the user
// typed a port of their own.
std::string_view PortFromEntryText(std::string_view entry);
