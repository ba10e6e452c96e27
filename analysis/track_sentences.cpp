#include "analysis/track_sentences.h"

#include <charconv>
#include <cmath>

#include "link/playback_schedule.h"

namespace {

bool Int(std::string_view text, int& value)
{
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && ec == std::errc() && ptr == text.data() + text.size();
}

bool Double(std::string_view text, double& value)
{
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && ec == std::errc() && ptr == text.data() + text.size() && std::isfinite(value);
}

bool ValidDate(const TrackDate& d)
{
    return d.year >= 1980 && d.year <= 2200 && d.month >= 1 && d.month <= 12 && d.day >= 1 && d.day <= 31;
}

}  // namespace

std::string_view TrackField(std::string_view data, int index)
{
    if (const size_t star = data.find('*'); star != std::string_view::npos)
        data = data.substr(0, star);
    size_t start = 0;
    for (int i = 0; i < index; ++i) {
        start = data.find(',', start);
        if (start == std::string_view::npos)
            return {};
        ++start;
    }
    const size_t end = data.find(',', start);
    return data.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

std::optional<DatedTime> DecodeRmcDate(std::string_view data)
{
    // Field 8 is ddmmyy; two-digit years are 1980-2079, as GPS weeks allow.
    const std::string_view date = TrackField(data, 8);
    DatedTime t;
    if (date.size() != 6 || !Int(date.substr(0, 2), t.date.day) || !Int(date.substr(2, 2), t.date.month)
        || !Int(date.substr(4, 2), t.date.year))
        return std::nullopt;
    t.date.year += t.date.year < 80 ? 2000 : 1900;
    t.timeOfDay = NmeaTimeOfDay(TrackField(data, 0));
    if (!ValidDate(t.date) || t.timeOfDay < 0.0)
        return std::nullopt;
    return t;
}

std::optional<DatedTime> DecodeZdaDate(std::string_view data)
{
    DatedTime t;
    if (!Int(TrackField(data, 1), t.date.day) || !Int(TrackField(data, 2), t.date.month)
        || !Int(TrackField(data, 3), t.date.year))
        return std::nullopt;
    t.timeOfDay = NmeaTimeOfDay(TrackField(data, 0));
    if (!ValidDate(t.date) || t.timeOfDay < 0.0)
        return std::nullopt;
    return t;
}

std::optional<GstSigmas> DecodeGstSigmas(std::string_view data)
{
    GstSigmas s;
    s.timeOfDay = NmeaTimeOfDay(TrackField(data, 0));
    if (s.timeOfDay < 0.0 || !Double(TrackField(data, 5), s.latitude) || !Double(TrackField(data, 6), s.longitude)
        || !Double(TrackField(data, 7), s.altitude))
        return std::nullopt;
    return s;
}
