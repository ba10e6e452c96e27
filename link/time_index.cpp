#include "link/time_index.h"

#include <charconv>
#include <cinttypes>
#include <cstdio>
#include <fstream>

namespace {

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int64_t& y, unsigned& m, unsigned& d)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = static_cast<int64_t>(yoe) + era * 400 + (m <= 2);
}

template <typename T>
bool Number(std::string_view text, T& value)
{
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && ptr == text.data() + text.size();
}

}  // namespace

std::string TimeIndexPath(const std::string& recording) { return recording + ".times"; }

std::string FormatUtcMicros(int64_t utcUs)
{
    int64_t days = utcUs / 86400000000;
    int64_t rest = utcUs % 86400000000;
    if (rest < 0) {
        rest += 86400000000;
        --days;
    }
    int64_t y = 0;
    unsigned m = 0, d = 0;
    CivilFromDays(days, y, m, d);
    const int64_t seconds = rest / 1000000;
    char text[48];
    std::snprintf(text, sizeof text, "%04" PRId64 "-%02u-%02uT%02d:%02d:%02d.%06dZ", y, m, d,
                  static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60),
                  static_cast<int>(rest % 1000000));
    return text;
}

std::optional<int64_t> ParseUtcMicros(std::string_view t)
{
    // YYYY-MM-DDTHH:MM:SS[.ffffff]Z
    if (t.size() < 20 || t[4] != '-' || t[7] != '-' || t[10] != 'T' || t[13] != ':' || t[16] != ':' || t.back() != 'Z')
        return std::nullopt;
    int y = 0;
    unsigned mo = 0, d = 0, h = 0, mi = 0, s = 0;
    if (!Number(t.substr(0, 4), y) || !Number(t.substr(5, 2), mo) || !Number(t.substr(8, 2), d)
        || !Number(t.substr(11, 2), h) || !Number(t.substr(14, 2), mi) || !Number(t.substr(17, 2), s))
        return std::nullopt;
    if (mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || s > 60)
        return std::nullopt;
    int64_t micros = 0;
    std::string_view fraction = t.substr(19, t.size() - 20);
    if (!fraction.empty()) {
        if (fraction[0] != '.' || fraction.size() < 2 || fraction.size() > 7)
            return std::nullopt;
        fraction.remove_prefix(1);
        if (!Number(fraction, micros))
            return std::nullopt;
        for (size_t i = fraction.size(); i < 6; ++i)
            micros *= 10;
    }
    return (DaysFromCivil(y, mo, d) * 86400 + h * 3600 + mi * 60 + s) * int64_t{1000000} + micros;
}

std::string FormatTimeIndexLine(const TimeIndexEntry& entry)
{
    char head[48];
    std::snprintf(head, sizeof head, "%" PRIu64 " %" PRId64 " ", entry.offset, entry.monotonicUs);
    return head + FormatUtcMicros(entry.utcUs) + '\n';
}

std::optional<TimeIndexEntry> ParseTimeIndexLine(std::string_view line)
{
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.remove_suffix(1);
    if (line.empty() || line[0] == '#')
        return std::nullopt;
    const size_t a = line.find(' ');
    const size_t b = a == std::string_view::npos ? a : line.find(' ', a + 1);
    if (b == std::string_view::npos)
        return std::nullopt;
    TimeIndexEntry entry;
    if (!Number(line.substr(0, a), entry.offset) || !Number(line.substr(a + 1, b - a - 1), entry.monotonicUs)
        || entry.monotonicUs < 0)
        return std::nullopt;
    const std::optional<int64_t> utc = ParseUtcMicros(line.substr(b + 1));
    if (!utc)
        return std::nullopt;
    entry.utcUs = *utc;
    return entry;
}

std::vector<TimeIndexEntry> ReadTimeIndex(const std::string& path)
{
    std::vector<TimeIndexEntry> entries;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        const std::optional<TimeIndexEntry> entry = ParseTimeIndexLine(line);
        if (!entry)
            continue;
        if (!entries.empty()
            && (entry->offset < entries.back().offset || entry->monotonicUs < entries.back().monotonicUs))
            continue;
        entries.push_back(*entry);
    }
    return entries;
}
