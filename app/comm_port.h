#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The source the user chose: a number n, meaning COMn, or the text of any
// other source (a device path, tcp://, udp://, gpsd://; see
// link/source_text.h, which holds the one rule). The number form is what
// older settings hold and what users of the other platform type.
struct CommPort {
    int number = 1;     // used while path is empty
    std::string path;   // /dev/ttyUSB0, gpsd://localhost, ...

    bool IsPath() const { return !path.empty(); }
    bool operator==(const CommPort&) const = default;
};

// A port as the user typed it, read by ParseSourceText: COMn or n gives
// the number, any other source its text; a text that names no source is
// kept as typed (trimmed), for the open to report.
CommPort CommPortFromText(std::string_view text);

// The text that CommPortFromText reads back: "4" or "/dev/ttyUSB0".
std::string CommPortText(const CommPort& port);

// The serial device to open; empty for a number below 1, which names no
// port, and for a network source.
std::string CommPortDevice(const CommPort& port);

// Whether two choices open the same source (COM1 and /dev/ttyS0 do).
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
