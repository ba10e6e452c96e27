#include "rtcm/ntrip_request.h"

#include <cmath>
#include <cstdio>

std::string Base64(std::string_view bytes)
{
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const size_t n = std::min<size_t>(3, bytes.size() - i);
        uint32_t v = static_cast<uint32_t>(static_cast<uint8_t>(bytes[i])) << 16;
        if (n > 1)
            v |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[i + 1])) << 8;
        if (n > 2)
            v |= static_cast<uint8_t>(bytes[i + 2]);
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += n > 1 ? kAlphabet[(v >> 6) & 63] : '=';
        out += n > 2 ? kAlphabet[v & 63] : '=';
    }
    return out;
}

std::string NtripRequest(const CasterAddress& address, NtripVersion version, std::string_view userAgent)
{
    std::string request = "GET /" + address.mountpoint + (version == NtripVersion::V2 ? " HTTP/1.1\r\n" : " HTTP/1.0\r\n");
    const std::string host = address.host.find(':') != std::string::npos ? "[" + address.host + "]" : address.host;
    request += "Host: " + host + ":" + std::to_string(address.port) + "\r\n";
    if (version == NtripVersion::V2)
        request += "Ntrip-Version: Ntrip/2.0\r\n";
    request += "User-Agent: NTRIP " + std::string(userAgent) + "\r\n";
    if (address.hasCredentials)
        request += "Authorization: Basic " + Base64(address.user + ":" + address.password) + "\r\n";
    if (version == NtripVersion::V2)
        request += "Connection: close\r\n";
    request += "\r\n";
    return request;
}

std::string MakeGga(double latitude, double longitude, double altitude, double secondsOfDay)
{
    secondsOfDay = std::fmod(std::fmod(secondsOfDay, 86400.0) + 86400.0, 86400.0);
    const long centiseconds = std::lround(secondsOfDay * 100.0) % 8640000;
    const double lat = std::fabs(latitude);
    const double lon = std::fabs(longitude);
    int latDegrees = static_cast<int>(lat);
    double latMinutes = (lat - latDegrees) * 60.0;
    int lonDegrees = static_cast<int>(lon);
    double lonMinutes = (lon - lonDegrees) * 60.0;
    // Rounding to the printed precision must not give 60 minutes.
    if (latMinutes >= 59.999999995) {
        latMinutes = 0.0;
        ++latDegrees;
    }
    if (lonMinutes >= 59.999999995) {
        lonMinutes = 0.0;
        ++lonDegrees;
    }
    char body[160];
    std::snprintf(body, sizeof body, "GPGGA,%02ld%02ld%02ld.%02ld,%02d%011.8f,%c,%03d%011.8f,%c,1,12,1.0,%.3f,M,0.0,M,,",
                  centiseconds / 360000, centiseconds / 6000 % 60, centiseconds / 100 % 60, centiseconds % 100,
                  latDegrees, latMinutes, latitude < 0 ? 'S' : 'N', lonDegrees, lonMinutes, longitude < 0 ? 'W' : 'E',
                  altitude);
    uint8_t checksum = 0;
    for (const char* p = body; *p != '\0'; ++p)
        checksum ^= static_cast<uint8_t>(*p);
    char sentence[200];
    std::snprintf(sentence, sizeof sentence, "$%s*%02X\r\n", body, checksum);
    return sentence;
}
