#include "tools/sim/gnss_constellations.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "tools/sim/nmea_format.h"

namespace {

template <typename... Args>
std::string Format(const char* format, Args... args)
{
    char text[256];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

struct SimSignalSatellite {
    int number = 0;  // as the system's own talker sends it
    int elevation = 0;
    int azimuth = 0;
    int cnr = 0;  // 0: not tracked, sent empty
};

struct SimSystem {
    const char* talker;
    int systemId;
    int signals[2];
    std::vector<SimSignalSatellite> view;
};

int Level(double elevation, SimRandom& random)
{
    const double noise = random.Normal();
    if (elevation < 3.0)
        return 0;
    const double level = 20.0 + 28.0 * std::sin(elevation * std::numbers::pi / 180.0) + 1.5 * noise;
    return std::clamp(static_cast<int>(std::lround(level)), 10, 54);
}

SimSignalSatellite Satellite(int number, double elevation, double azimuth, SimRandom& random)
{
    const double az = std::fmod(azimuth + 360.0, 360.0);
    return {number, static_cast<int>(std::lround(elevation)), static_cast<int>(std::lround(az)) % 360,
            Level(elevation, random)};
}

void AddGsv(std::vector<std::string>& out, const SimSystem& system, int signalIndex)
{
    const int count = static_cast<int>(system.view.size());
    const int messages = std::max(1, (count + 3) / 4);
    for (int m = 0; m < messages; ++m) {
        std::string body = Format("%sGSV,%d,%d,%02d", system.talker, messages, m + 1, count);
        for (int j = 4 * m; j < std::min(count, 4 * m + 4); ++j) {
            const SimSignalSatellite& s = system.view[static_cast<size_t>(j)];
            // The second signal is a few dB weaker, and lost near the horizon.
            const int cnr = signalIndex == 0 ? s.cnr : (s.cnr > 14 ? s.cnr - 4 : 0);
            body += Format(",%02d,%02d,%03d,", s.number, s.elevation, s.azimuth);
            if (cnr > 0)
                body += Format("%02d", cnr);
        }
        body += Format(",%X", system.signals[signalIndex]);
        out.push_back(NmeaSentence(body));
    }
}

}  // namespace

GnssFixSentences MakeGnssFixSentences(const GnssFixInput& fix, SimRandom& random)
{
    SimSystem systems[] = {
        {"GP", 1, {1, 8}, {}},  // L1 C/A, L5-Q
        {"GL", 2, {1, 3}, {}},  // G1 C/A, G2 C/A
        {"GA", 3, {7, 1}, {}},  // E1-BC, E5a
        {"GB", 4, {1, 5}, {}},  // B1I, B2a
        {"GQ", 5, {1, 8}, {}},  // L1 C/A, L5-Q
    };
    for (const SimSatellite& s : fix.sky) {
        if (s.prn <= 32) {
            systems[0].view.push_back(Satellite(s.prn, s.elevation, s.azimuth, random));
            // Galileo on the GPS orbits turned by 137 degrees, numbered 1-36.
            systems[2].view.push_back(Satellite((s.prn * 7) % 36 + 1, s.elevation, s.azimuth + 137.0, random));
        } else if (s.prn >= 65) {
            systems[1].view.push_back(Satellite(s.prn, s.elevation, s.azimuth, random));
            // BeiDou on the GLONASS orbits turned by 71 degrees, numbered 1-37.
            systems[3].view.push_back(Satellite((s.prn * 5) % 37 + 1, 0.9 * s.elevation + 4.0, s.azimuth + 71.0, random));
        }
    }
    const double drift = fix.seconds / 600.0;  // degrees a ten-minute step
    systems[4].view.push_back(Satellite(194, 62.0 + drift, 140.0 + 2.0 * drift, random));
    systems[4].view.push_back(Satellite(195, 35.0 - drift, 190.0 - drift, random));
    for (SimSystem& system : systems)
        std::sort(system.view.begin(), system.view.end(),
                  [](const SimSignalSatellite& a, const SimSignalSatellite& b) { return a.number < b.number; });

    GnssFixSentences out;
    // Used: tracked above 10 degrees, twelve at most per system.
    std::vector<std::vector<int>> used(std::size(systems));
    for (size_t i = 0; i < std::size(systems); ++i) {
        for (const SimSignalSatellite& s : systems[i].view)
            if (s.elevation >= 10 && s.cnr > 0 && used[i].size() < 12)
                used[i].push_back(s.number);
        out.used += static_cast<int>(used[i].size());
    }
    out.hdop = out.used > 0 ? std::max(0.4, 6.0 / std::sqrt(static_cast<double>(out.used))) : 99.0;
    const double pdop = out.hdop * 1.6;
    const double vdop = out.hdop * 1.3;
    const bool valid = out.used >= 4;
    const char* utc = fix.utc.c_str();

    std::vector<std::string>& s = out.beforeGga;
    s.push_back(NmeaSentence(Format("GNRMC,%s,%c,%s,%s,%.2f,%.1f,%s,,,%c,V", utc, valid ? 'A' : 'V',
                                    fix.latitude.c_str(), fix.longitude.c_str(), fix.knots, fix.course,
                                    fix.rmcDate.c_str(), valid ? 'D' : 'N')));
    s.push_back(NmeaSentence(Format("GNGNS,%s,%s,%s,%s,%02d,%.2f,%.1f,47.0,,,V", utc, fix.latitude.c_str(),
                                    fix.longitude.c_str(), valid ? "DDDDDN" : "NNNNNN", out.used, out.hdop,
                                    fix.altitude)));
    for (size_t i = 0; i < std::size(systems); ++i) {
        std::string numbers;
        for (size_t slot = 0; slot < 12; ++slot) {
            if (slot < used[i].size())
                numbers += Format("%02d", used[i][slot]);
            numbers += ',';
        }
        s.push_back(NmeaSentence(Format("GNGSA,A,%d,%s%.2f,%.2f,%.2f,%d", valid ? 3 : 1, numbers.c_str(), pdop,
                                        out.hdop, vdop, systems[i].systemId)));
    }
    for (const SimSystem& system : systems)
        for (int signal = 0; signal < 2; ++signal)
            AddGsv(s, system, signal);

    const double sigma = std::max(fix.noise / 3.0, 0.01);
    s.push_back(NmeaSentence(Format("GNGST,%s,%.3f,%.3f,%.3f,%.1f,%.3f,%.3f,%.3f", utc, 1.2 * sigma, 1.4 * sigma,
                                    0.9 * sigma, std::fmod(30.0 + fix.seconds * 0.1, 180.0), 1.1 * sigma,
                                    1.0 * sigma, 1.8 * sigma)));
    const bool suspect = std::fmod(fix.seconds, 40.0) >= 30.0 && !used[0].empty();
    if (suspect) {
        const int prn = used[0][static_cast<size_t>(fix.seconds / 40.0) % used[0].size()];
        s.push_back(NmeaSentence(Format("GNGBS,%s,%.2f,%.2f,%.2f,%02d,0.010,%.1f,%.1f,1,1", utc, 1.1 * sigma,
                                        1.0 * sigma, 1.8 * sigma, prn, 12.0 + random.Normal(), 2.5)));
    } else {
        s.push_back(NmeaSentence(Format("GNGBS,%s,%.2f,%.2f,%.2f,,,,,,", utc, 1.1 * sigma, 1.0 * sigma,
                                        1.8 * sigma)));
    }
    s.push_back(NmeaSentence(Format("GNZDA,%s,%s,00,00", utc, fix.zdaDate.c_str())));
    return out;
}
