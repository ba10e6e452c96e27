#include "tools/sim/nmea_format.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

std::string Angle(double degrees, int degreeDigits, char positive, char negative)
{
    const double magnitude = std::fabs(degrees);
    // Round the minutes first so that 59.9999995 carries into the degrees.
    long long microMinutes = std::llround(magnitude * 60.0e6);
    const long long whole = microMinutes / 60'000'000;
    microMinutes -= whole * 60'000'000;
    char text[40];
    std::snprintf(text, sizeof text, "%0*lld%02lld.%06lld,%c", degreeDigits, whole, microMinutes / 1'000'000,
                  microMinutes % 1'000'000, degrees < 0.0 ? negative : positive);
    return text;
}

}  // namespace

std::string NmeaSentence(std::string_view body)
{
    uint8_t checksum = 0;
    for (char c : body)
        checksum ^= static_cast<uint8_t>(c);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\r\n", checksum);
    std::string sentence;
    sentence.reserve(body.size() + 6);
    sentence += '$';
    sentence += body;
    sentence += tail;
    return sentence;
}

std::string NmeaLatitude(double degrees) { return Angle(degrees, 2, 'N', 'S'); }

std::string NmeaLongitude(double degrees) { return Angle(degrees, 3, 'E', 'W'); }

double NmeaFieldDegrees(std::string_view fields, int degreeDigits)
{
    const std::string text(fields);
    const size_t comma = text.find(',');
    const std::string number = text.substr(0, comma);
    const double whole = std::strtod(number.substr(0, static_cast<size_t>(degreeDigits)).c_str(), nullptr);
    const double minutes = std::strtod(number.substr(static_cast<size_t>(degreeDigits)).c_str(), nullptr);
    const double value = minutes / 60.0 + whole;
    const char hemisphere = comma != std::string::npos && comma + 1 < text.size() ? text[comma + 1] : 'N';
    return hemisphere == 'S' || hemisphere == 'W' ? -value : value;
}

std::string NmeaTime(double secondsOfDay)
{
    long long hundredths = std::llround(secondsOfDay * 100.0) % (86400LL * 100);
    const long long hours = hundredths / 360000;
    hundredths -= hours * 360000;
    const long long minutes = hundredths / 6000;
    hundredths -= minutes * 6000;
    char text[32];
    std::snprintf(text, sizeof text, "%02lld%02lld%02lld.%02lld", hours, minutes, hundredths / 100, hundredths % 100);
    return text;
}
