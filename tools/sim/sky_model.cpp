#include "tools/sim/sky_model.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "tools/sim/sim_random.h"

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kEarthRadiusKm = 6371.0;
constexpr double kEarthRotation = 7.2921151467e-5;  // radians per second
constexpr double kDegrees = 180.0 / kPi;

struct Vec {
    double x, y, z;
};

double Dot(const Vec& a, const Vec& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

}  // namespace

SkyModel::SkyModel(uint64_t seed, double latitude, double longitude)
    : m_latitude(latitude / kDegrees)
    , m_longitude(longitude / kDegrees)
{
    SimRandom random(seed ^ 0x5eed5ca1ab1eULL);
    m_startSeconds = random.Uniform(0.0, 86400.0);

    // GPS: 24 of the 32 PRNs, four to each of six planes.
    std::vector<int> gpsPrns(32);
    for (int i = 0; i < 32; ++i)
        gpsPrns[static_cast<size_t>(i)] = i + 1;
    for (size_t i = gpsPrns.size() - 1; i > 0; --i)
        std::swap(gpsPrns[i], gpsPrns[static_cast<size_t>(random.Integer(0, static_cast<int>(i)))]);
    const double gpsRate = 2.0 * kPi / 43082.0;
    const double planeOffset = random.Uniform(0.0, 2.0 * kPi);
    for (int plane = 0; plane < 6; ++plane)
        for (int slot = 0; slot < 4; ++slot)
            m_orbits.push_back({gpsPrns[static_cast<size_t>(plane * 4 + slot)], 26560.0, 55.0 / kDegrees,
                                planeOffset + plane * kPi / 3.0,
                                plane * 0.26 + slot * kPi / 2.0 + random.Uniform(-0.2, 0.2), gpsRate});

    // GLONASS: slots 1 to 24 (PRN 65 to 88), eight to each of three planes.
    const double glonassRate = 2.0 * kPi / 40544.0;
    for (int plane = 0; plane < 3; ++plane)
        for (int slot = 0; slot < 8; ++slot)
            m_orbits.push_back({65 + plane * 8 + slot, 25510.0, 64.8 / kDegrees,
                                planeOffset + 0.5 + plane * 2.0 * kPi / 3.0,
                                plane * 0.26 + slot * kPi / 4.0 + random.Uniform(-0.05, 0.05), glonassRate});

    // Two geostationary SBAS satellites, fixed in the sky of the equator-ward side.
    const double equatorward = latitude >= 0.0 ? 180.0 : 0.0;
    const int firstSbas = random.Integer(33, 50);
    m_geostationary.push_back({firstSbas, random.Uniform(20.0, 40.0), std::fmod(equatorward - random.Uniform(10.0, 40.0) + 360.0, 360.0)});
    m_geostationary.push_back({firstSbas + random.Integer(2, 14), random.Uniform(20.0, 40.0),
                               std::fmod(equatorward + random.Uniform(10.0, 40.0), 360.0)});
}

std::vector<SimSatellite> SkyModel::InView(double seconds) const
{
    const double t = m_startSeconds + seconds;
    const double theta = m_longitude + kEarthRotation * t;
    const double cosLat = std::cos(m_latitude);
    const double sinLat = std::sin(m_latitude);
    const Vec up{cosLat * std::cos(theta), cosLat * std::sin(theta), sinLat};
    const Vec east{-std::sin(theta), std::cos(theta), 0.0};
    const Vec north{-sinLat * std::cos(theta), -sinLat * std::sin(theta), cosLat};
    const Vec observer{kEarthRadiusKm * up.x, kEarthRadiusKm * up.y, kEarthRadiusKm * up.z};

    std::vector<SimSatellite> gps(m_geostationary.begin(), m_geostationary.end());
    std::vector<SimSatellite> glonass;
    for (const Orbit& o : m_orbits) {
        const double u = o.phase + o.rate * t;
        const double cu = std::cos(u);
        const double su = std::sin(u);
        const double cn = std::cos(o.ascendingNode);
        const double sn = std::sin(o.ascendingNode);
        const double ci = std::cos(o.inclination);
        const Vec r{o.radiusKm * (cn * cu - sn * su * ci), o.radiusKm * (sn * cu + cn * su * ci),
                    o.radiusKm * su * std::sin(o.inclination)};
        const Vec d{r.x - observer.x, r.y - observer.y, r.z - observer.z};
        const double range = std::sqrt(Dot(d, d));
        const double elevation = std::asin(Dot(d, up) / range) * kDegrees;
        if (elevation < 0.0)
            continue;
        double azimuth = std::atan2(Dot(d, east), Dot(d, north)) * kDegrees;
        if (azimuth < 0.0)
            azimuth += 360.0;
        (o.prn <= 64 ? gps : glonass).push_back({o.prn, elevation, azimuth});
    }
    const auto byPrn = [](const SimSatellite& a, const SimSatellite& b) { return a.prn < b.prn; };
    std::sort(gps.begin(), gps.end(), byPrn);
    std::sort(glonass.begin(), glonass.end(), byPrn);
    gps.insert(gps.end(), glonass.begin(), glonass.end());
    return gps;
}
