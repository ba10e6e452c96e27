#pragma once

#include <string>
#include <string_view>
#include <vector>

// The send box's history: entries newest first, compared without regard to
// letter case (ASCII; what is typed here are NMEA sentences), and kept between
// runs as numbered values "<prefix>0", "<prefix>1", ... in a settings group.

inline constexpr int kDefaultMaxHistory = 100;

// Leading and trailing spaces (only 0x20) removed.
std::string TrimSpaces(std::string_view text);

bool EqualsIgnoringCase(std::string_view a, std::string_view b);
bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix);

// Searches like a combo box does: from the entry after `start` to the end,
// then from the top round to `start` itself; start -1 searches from the top.
// Returns the index of the first entry equal to `text` (or, for the prefix
// search, beginning with it), or -1.
int FindEntryExact(const std::vector<std::string>& list, int start, std::string_view text);
int FindEntryPrefix(const std::vector<std::string>& list, int start, std::string_view text);

// Puts the trimmed text at the top, drops the older entry equal to it and
// keeps at most `maxHistory` entries. Returns the new entry's index, 0.
int AddToHistory(std::vector<std::string>& list, std::string_view text, int maxHistory);

// The settings store the history is kept in.
class HistoryProfile {
public:
    virtual ~HistoryProfile() = default;
    // Empty when the value does not exist.
    virtual std::string ReadString(const std::string& name) = 0;
    virtual void WriteString(const std::string& name, const std::string& value) = 0;
    virtual void DeleteValue(const std::string& name) = 0;
};

// Name of the value holding the text left in the box.
std::string CurrentTextValueName(std::string_view keyCurrent, std::string_view keyPrefix);

// Reads entries prefix0, prefix1, ... up to the first empty or absent one,
// at most `maxHistory` of them.
std::vector<std::string> LoadHistoryEntries(HistoryProfile& profile, std::string_view prefix,
                                            int maxHistory);

// Writes the entries (at most maxHistory + 1, empty ones left out) and
// deletes the values that follow them, up to the first one that is already
// empty or absent.
void SaveHistoryEntries(HistoryProfile& profile, std::string_view prefix,
                        const std::vector<std::string>& list, int maxHistory);
