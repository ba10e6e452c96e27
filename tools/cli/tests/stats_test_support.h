#pragma once

#include <cmath>
#include <map>
#include <numbers>
#include <regex>
#include <string>

// The members of a flat JSON object of numbers, by key.
inline std::map<std::string, double> NumbersOf(const std::string& json)
{
    std::map<std::string, double> out;
    static const std::regex member(R"re("([^"]+)":(-?[0-9][0-9.eE+-]*))re");
    for (std::sregex_iterator it(json.begin(), json.end(), member), end; it != end; ++it)
        out[(*it)[1].str()] = std::stod((*it)[2].str());
    return out;
}

// The horizontal distance in metres as the statistics define it: haversine
// on a sphere of 6372.797560856 km with the first latitude's cosine squared.
inline double HaversineMetres(double lat, double lon, double refLat, double refLon)
{
    const double r = std::numbers::pi / 180.0;
    const double s1 = std::sin((lat - refLat) * r / 2), s2 = std::sin((lon - refLon) * r / 2);
    const double c = std::cos(lat * r);
    return 2.0 * std::asin(std::sqrt(std::min(1.0, s1 * s1 + c * c * s2 * s2))) * 6372.797560856 * 1000.0;
}

// Least-squares line through (1, v1) ... (n, vn), by the centred formula,
// evaluated at x = n.
template <typename Values>
double TrendAtLast(const Values& values)
{
    const double n = static_cast<double>(values.size());
    if (values.size() < 2)
        return 0.0;  // one sample fits no line: slope 0, intercept 0
    double meanY = 0.0;
    for (double v : values)
        meanY += v;
    meanY /= n;
    const double meanX = (n + 1.0) / 2.0;
    double sxy = 0.0, sxx = 0.0;
    for (size_t i = 0; i < values.size(); ++i) {
        const double dx = static_cast<double>(i + 1) - meanX;
        sxy += dx * (values[i] - meanY);
        sxx += dx * dx;
    }
    const double slope = sxy / sxx;
    return meanY + slope * (n - meanX);
}
