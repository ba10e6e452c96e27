#include "compare/epoch_time.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "nmea/gnss_snapshot.h"

namespace {

bool Digits(std::string_view text, size_t at, size_t count, int& out)
{
    if (at + count > text.size())
        return false;
    out = 0;
    for (size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        out = out * 10 + (text[i] - '0');
    }
    return true;
}

// "ss[.f]" at `at`: whole seconds and a fraction; the rest of the text after it.
std::optional<double> Seconds(std::string_view text, size_t at, size_t& end)
{
    int whole = 0;
    if (!Digits(text, at, 2, whole) || whole > 60)
        return std::nullopt;
    end = at + 2;
    double fraction = 0.0;
    if (end < text.size() && text[end] == '.') {
        double scale = 0.1;
        ++end;
        while (end < text.size() && text[end] >= '0' && text[end] <= '9') {
            fraction += scale * (text[end] - '0');
            scale /= 10.0;
            ++end;
        }
    }
    return whole + fraction;
}

// Leap seconds by the UTC day they took effect: GPS - UTC from then on.
struct Leap {
    int64_t day;
    int gpsMinusUtc;
};
const Leap kLeaps[] = {
    {DaysFromCivil(1981, 7, 1), 1},  {DaysFromCivil(1982, 7, 1), 2},  {DaysFromCivil(1983, 7, 1), 3},
    {DaysFromCivil(1985, 7, 1), 4},  {DaysFromCivil(1988, 1, 1), 5},  {DaysFromCivil(1990, 1, 1), 6},
    {DaysFromCivil(1991, 1, 1), 7},  {DaysFromCivil(1992, 7, 1), 8},  {DaysFromCivil(1993, 7, 1), 9},
    {DaysFromCivil(1994, 7, 1), 10}, {DaysFromCivil(1996, 1, 1), 11}, {DaysFromCivil(1997, 7, 1), 12},
    {DaysFromCivil(1999, 1, 1), 13}, {DaysFromCivil(2006, 1, 1), 14}, {DaysFromCivil(2009, 1, 1), 15},
    {DaysFromCivil(2012, 7, 1), 16}, {DaysFromCivil(2015, 7, 1), 17}, {DaysFromCivil(2017, 1, 1), 18},
};

}  // namespace

int64_t DaysFromCivil(int64_t y, int m, int d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

EpochTime EpochFromInstant(double seconds)
{
    // Beyond a few million years no file means it: clamp, so the day stays a number.
    const double day = std::clamp(std::floor(seconds / 86400.0), -1e9, 1e9);
    if (!std::isfinite(seconds))
        return {0, 0.0};
    return {static_cast<int64_t>(day), std::clamp(seconds - day * 86400.0, 0.0, 86400.0)};
}

std::optional<double> ParseClockTime(std::string_view text)
{
    int hours = 0, minutes = 0;
    size_t end = 0;
    if (!Digits(text, 0, 2, hours) || text.size() < 8 || text[2] != ':' || !Digits(text, 3, 2, minutes)
        || text[5] != ':' || hours > 23 || minutes > 59)
        return std::nullopt;
    const std::optional<double> seconds = Seconds(text, 6, end);
    if (!seconds || end != text.size())
        return std::nullopt;
    return hours * 3600.0 + minutes * 60.0 + *seconds;
}

std::optional<double> ParseDateTime(std::string_view text)
{
    int year = 0, month = 0, day = 0, hours = 0, minutes = 0;
    if (text.size() < 19 || !Digits(text, 0, 4, year) || (text[4] != '-' && text[4] != '/')
        || !Digits(text, 5, 2, month) || text[7] != text[4] || !Digits(text, 8, 2, day)
        || (text[10] != 'T' && text[10] != ' ') || !Digits(text, 11, 2, hours) || text[13] != ':'
        || !Digits(text, 14, 2, minutes) || text[16] != ':' || month < 1 || month > 12 || day < 1 || day > 31
        || hours > 23 || minutes > 59)
        return std::nullopt;
    size_t end = 0;
    const std::optional<double> seconds = Seconds(text, 17, end);
    if (!seconds)
        return std::nullopt;
    double zone = 0.0;
    const std::string_view rest = text.substr(end);
    if (rest == "Z" || rest.empty()) {
    } else if ((rest[0] == '+' || rest[0] == '-') && rest.size() == 6 && rest[3] == ':') {
        int zh = 0, zm = 0;
        if (!Digits(rest, 1, 2, zh) || !Digits(rest, 4, 2, zm))
            return std::nullopt;
        zone = (rest[0] == '-' ? -1.0 : 1.0) * (zh * 3600.0 + zm * 60.0);
    } else {
        return std::nullopt;
    }
    return static_cast<double>(DaysFromCivil(year, month, day)) * 86400.0 + hours * 3600.0 + minutes * 60.0
        + *seconds - zone;
}

std::optional<EpochTime> EpochOfFix(const GnssSnapshot& gnss)
{
    const std::optional<double> time = ParseClockTime(gnss.fixTime);
    if (!time)
        return std::nullopt;
    EpochTime epoch{std::nullopt, *time};
    if (gnss.date) {
        int64_t day = DaysFromCivil(gnss.date->year, gnss.date->month, gnss.date->day);
        if (const std::optional<double> dated = ParseClockTime(gnss.time)) {
            if (*time < *dated - 43200.0)
                ++day;
            else if (*time > *dated + 43200.0)
                --day;
        }
        epoch.day = day;
    }
    return epoch;
}

double GpsTimeToUtc(double gpsSeconds)
{
    for (auto leap = std::rbegin(kLeaps); leap != std::rend(kLeaps); ++leap) {
        const double utc = gpsSeconds - leap->gpsMinusUtc;
        if (utc >= static_cast<double>(leap->day) * 86400.0)
            return utc;
    }
    return gpsSeconds;
}
