#include "geo/vincenty.h"

#include <cmath>

namespace {

constexpr double kB = 6356752.3142;
constexpr double kF = 0.0033528106647474805;
constexpr double kSecondEccentricitySquared = 272331606681.9453 / 40408299984087.055;  // (a² − b²) / b²
constexpr double kRadiansPerDegree = 0.017453292519943295;
constexpr double kDegreesPerRadian = 57.29577951308232;
constexpr double kSigmaTolerance = 1e-13;

}  // namespace

std::optional<GeoPoint> VincentyDirect(double latitude, double longitude, double bearing, double distance)
{
    if (!std::isfinite(latitude) || !std::isfinite(longitude) || !std::isfinite(bearing) || !std::isfinite(distance))
        return std::nullopt;

    const double alpha1 = bearing * kRadiansPerDegree;
    const double sinAlpha1 = std::sin(alpha1);
    const double cosAlpha1 = std::cos(alpha1);

    const double tanU1 = (1.0 - kF) * std::tan(latitude * kRadiansPerDegree);
    const double cosU1 = 1.0 / std::sqrt(1.0 + tanU1 * tanU1);
    const double sinU1 = tanU1 * cosU1;
    const double sigma1 = std::atan2(tanU1, cosAlpha1);
    const double sinAlpha = cosU1 * sinAlpha1;
    const double cosSqAlpha = 1.0 - sinAlpha * sinAlpha;
    const double uSq = cosSqAlpha * kSecondEccentricitySquared;
    const double A = 1.0 + uSq / 16384.0 * (4096.0 + uSq * (-768.0 + uSq * (320.0 - 175.0 * uSq)));
    const double B = uSq / 1024.0 * (256.0 + uSq * (-128.0 + uSq * (74.0 - 47.0 * uSq)));

    const double sigma0 = distance / (kB * A);
    double sigma = sigma0;
    double sinSigma = 0.0;
    double cosSigma = 0.0;
    double cos2SigmaM = 0.0;
    bool settled = false;
    for (int round = 0; round < kVincentyMaxRounds; ++round) {
        cos2SigmaM = std::cos(2.0 * sigma1 + sigma);
        sinSigma = std::sin(sigma);
        cosSigma = std::cos(sigma);
        const double deltaSigma =
            B * sinSigma *
            (cos2SigmaM + B / 4.0 *
                              (cosSigma * (-1.0 + 2.0 * cos2SigmaM * cos2SigmaM) -
                               B / 6.0 * cos2SigmaM * (-3.0 + 4.0 * sinSigma * sinSigma) *
                                   (-3.0 + 4.0 * cos2SigmaM * cos2SigmaM)));
        const double previous = sigma;
        sigma = sigma0 + deltaSigma;
        if (std::fabs(sigma - previous) < kSigmaTolerance) {
            settled = true;
            break;
        }
    }
    if (!settled)
        return std::nullopt;
    // As in Vincenty's own formulation, the terms below keep the sines and
    // cosines of the last round; they differ from the settled σ's by less
    // than the tolerance.
    const double tmp = sinU1 * sinSigma - cosU1 * cosSigma * cosAlpha1;
    const double phi2 = std::atan2(sinU1 * cosSigma + cosU1 * sinSigma * cosAlpha1,
                                   (1.0 - kF) * std::sqrt(sinAlpha * sinAlpha + tmp * tmp));
    const double lambda = std::atan2(sinSigma * sinAlpha1, cosU1 * cosSigma - sinU1 * sinSigma * cosAlpha1);
    const double C = kF / 16.0 * cosSqAlpha * (4.0 + kF * (4.0 - 3.0 * cosSqAlpha));
    const double L = lambda - (1.0 - C) * kF * sinAlpha *
                                  (sigma + C * sinSigma *
                                               (cos2SigmaM + C * cosSigma * (-1.0 + 2.0 * cos2SigmaM * cos2SigmaM)));

    GeoPoint p{phi2 * kDegreesPerRadian, longitude + L * kDegreesPerRadian};
    if (!std::isfinite(p.latitude) || !std::isfinite(p.longitude))
        return std::nullopt;
    return p;
}
