#include "tools/sim/dilution_of_precision.h"

#include <cmath>
#include <numbers>
#include <utility>

Dops ComputeDops(const std::vector<SimSatellite>& used)
{
    Dops dops;
    if (used.size() < 4)
        return dops;
    // Normal matrix G'G of the rows (-e, -n, -u, 1), then its inverse.
    double a[4][8] = {};
    for (const SimSatellite& s : used) {
        const double el = s.elevation * std::numbers::pi / 180.0;
        const double az = s.azimuth * std::numbers::pi / 180.0;
        const double row[4] = {-std::cos(el) * std::sin(az), -std::cos(el) * std::cos(az), -std::sin(el), 1.0};
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                a[i][j] += row[i] * row[j];
    }
    for (int i = 0; i < 4; ++i)
        a[i][4 + i] = 1.0;
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int r = col + 1; r < 4; ++r)
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col]))
                pivot = r;
        if (std::fabs(a[pivot][col]) < 1e-12)
            return dops;  // all satellites in one cone: no solution
        std::swap(a[pivot], a[col]);
        const double p = a[col][col];
        for (double& v : a[col])
            v /= p;
        for (int r = 0; r < 4; ++r) {
            if (r == col)
                continue;
            const double f = a[r][col];
            for (int c = 0; c < 8; ++c)
                a[r][c] -= f * a[col][c];
        }
    }
    const double qe = a[0][4], qn = a[1][5], qu = a[2][6];
    if (qe < 0.0 || qn < 0.0 || qu < 0.0)
        return dops;
    dops.hdop = std::sqrt(qe + qn);
    dops.vdop = std::sqrt(qu);
    dops.pdop = std::sqrt(qe + qn + qu);
    dops.valid = true;
    return dops;
}
