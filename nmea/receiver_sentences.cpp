#include "nmea/receiver_sentences.h"

#include <cmath>

#include "nmea/number_text.h"

using stelmap::ParseDecimal;
using stelmap::ParseInteger;

namespace {

std::optional<double> Decimal(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    return ParseDecimal(text);
}

// Degrees from NMEA "ddmm.mmmm" (degreeDigits 2) or "dddmm.mmmm" (3). A
// field shorter than its degree digits reads only what is there.
double DegreesFromNmea(std::string_view text, size_t degreeDigits)
{
    const std::string_view minutes = degreeDigits < text.size() ? text.substr(degreeDigits) : std::string_view{};
    return ParseDecimal(minutes) / 60.0 + ParseDecimal(text.substr(0, degreeDigits));
}

int TwoDigits(std::string_view text, size_t at) { return 10 * (text[at] - '0') + (text[at + 1] - '0'); }

}  // namespace

bool GgaFields::ImpossiblePosition() const
{
    return (latitude && std::fabs(*latitude) > 90.0) || (longitude && std::fabs(*longitude) > 180.0);
}

GgaFields DecodeGga(const SentenceFields& f)
{
    GgaFields out;
    // Six characters or nothing: a shorter time never reads past its text.
    if (const std::string_view time = f[0]; time.size() >= 6) {
        out.time = GgaTime{TwoDigits(time, 0), TwoDigits(time, 2), TwoDigits(time, 4)};
        if (IsNmeaTime(time))
            out.timeOfDay = out.time->hour * 3600.0 + out.time->minute * 60.0 + out.time->second
                            + (time.size() > 7 ? ParseDecimal(time.substr(6)) : 0.0);
    }

    out.south = f[2].starts_with('S');
    out.west = f[4].starts_with('W');
    const std::string_view latitude = f[1];
    if (!latitude.empty())
        out.latitude = out.south ? -DegreesFromNmea(latitude, 2) : DegreesFromNmea(latitude, 2);
    const std::string_view longitude = f[3];
    if (!longitude.empty())
        out.longitude = out.west ? -DegreesFromNmea(longitude, 3) : DegreesFromNmea(longitude, 3);

    const std::string_view quality = f[5];
    if (!quality.empty())
        out.quality = quality[0] - '0';
    if (const std::string_view n = f[6]; !n.empty())
        out.satsInUse = ParseInteger(n.substr(0, 2));
    out.hdop = Decimal(f[7]);
    out.altitude = Decimal(f[8]);

    const bool qualityDigit = quality.size() == 1 && quality[0] >= '1' && quality[0] <= '9';
    out.countedQuality = qualityDigit && !latitude.empty() && !longitude.empty() ? quality[0] - '0' : 0;
    return out;
}

VtgFields DecodeVtg(const SentenceFields& f)
{
    VtgFields out;
    out.courseTrue = Decimal(f[0]);
    out.courseMagnetic = Decimal(f[2]);
    out.speedKnots = Decimal(f[4]);
    out.speedKmh = Decimal(f[6]);
    if (const std::string_view mode = f[8]; !mode.empty())
        out.mode = mode[0];
    return out;
}

std::optional<ConfigReply> DecodeConfigReply(const SentenceFields& f)
{
    if (f.Count() <= 1 && f[0].empty())
        return std::nullopt;
    ConfigReply out;
    if (const std::string_view mode = f[8]; !mode.empty())
        out.solution = mode[0];
    return out;
}

RaimFields DecodeRaim(const SentenceFields& f)
{
    RaimFields out;
    if (!f[0].empty())
        out.hplCm = ParseInteger(f[0]);
    if (!f[2].empty())
        out.hfomCm = ParseInteger(f[2]);
    return out;
}
