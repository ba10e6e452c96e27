#include "console/history_list.h"

#include <algorithm>

namespace {

char FoldCase(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string ValueName(std::string_view prefix, int index)
{
    return std::string(prefix) + std::to_string(index);
}

// Stale values beyond this index are never looked at.
constexpr int kLastValueIndex = 999;

template <typename Match>
int FindEntry(const std::vector<std::string>& list, int start, Match match)
{
    const int count = static_cast<int>(list.size());
    if (count == 0)
        return -1;
    if (start < -1 || start >= count)
        start = -1;
    for (int step = 1; step <= count; ++step) {
        const int i = (start + step) % count;
        if (match(list[i]))
            return i;
    }
    return -1;
}

}  // namespace

std::string TrimSpaces(std::string_view text)
{
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](char x, char y) { return FoldCase(x) == FoldCase(y); });
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && EqualsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

int FindEntryExact(const std::vector<std::string>& list, int start, std::string_view text)
{
    return FindEntry(list, start, [text](const std::string& e) { return EqualsIgnoringCase(e, text); });
}

int FindEntryPrefix(const std::vector<std::string>& list, int start, std::string_view text)
{
    return FindEntry(list, start,
                     [text](const std::string& e) { return StartsWithIgnoringCase(e, text); });
}

int AddToHistory(std::vector<std::string>& list, std::string_view text, int maxHistory)
{
    list.insert(list.begin(), TrimSpaces(text));
    const int older = FindEntryExact(list, 0, list.front());
    if (older > 0)
        list.erase(list.begin() + older);
    if (maxHistory >= 0 && list.size() > static_cast<size_t>(maxHistory))
        list.resize(static_cast<size_t>(maxHistory));
    return 0;
}

std::string CurrentTextValueName(std::string_view keyCurrent, std::string_view keyPrefix)
{
    if (!keyCurrent.empty())
        return std::string(keyCurrent);
    if (!keyPrefix.empty())
        return std::string(keyPrefix);
    return "Last";
}

std::vector<std::string> LoadHistoryEntries(HistoryProfile& profile, std::string_view prefix,
                                            int maxHistory)
{
    std::vector<std::string> entries;
    for (int i = 0; i < std::max(maxHistory, 1); ++i) {
        std::string entry = profile.ReadString(ValueName(prefix, i));
        if (entry.empty())
            break;
        entries.push_back(std::move(entry));
    }
    return entries;
}

void SaveHistoryEntries(HistoryProfile& profile, std::string_view prefix,
                        const std::vector<std::string>& list, int maxHistory)
{
    const int count = std::min(static_cast<int>(list.size()), maxHistory + 1);
    // Loading stops at the first empty value, so an empty entry (a line end
    // sent on its own) is not written: it would hide every entry after it.
    int written = 0;
    for (int i = 0; i < count; ++i) {
        if (!list[i].empty())
            profile.WriteString(ValueName(prefix, written++), list[i]);
    }
    for (int i = written; i <= kLastValueIndex; ++i) {
        const std::string name = ValueName(prefix, i);
        if (profile.ReadString(name).empty())
            break;
        profile.DeleteValue(name);
    }
}
