#include "analysis/accuracy_figures.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <initializer_list>

#include "geo/horizontal_distance.h"
#include "geo/local_tangent_plane.h"

bool IsCountedQuality(int quality) { return quality >= 1 && quality <= kMaxFixQuality; }

std::optional<double> ParseAlertLimit(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || !(value >= kMinAlertLimit)
        || value > kMaxAlertLimit)
        return std::nullopt;
    return value;
}

std::optional<std::string> AlertLimitProblem(std::string_view text)
{
    if (ParseAlertLimit(text))
        return std::nullopt;
    return "'" + std::string(text) + "' is not an alert limit: type a number of metres from 0.01 to 100000, such as 40.";
}

StanfordRegion ClassifyEpoch(double herr, double hpl, double alertLimit)
{
    if (hpl >= alertLimit)
        return herr <= hpl ? StanfordRegion::Unavailable : StanfordRegion::UnavailableMi;
    if (herr <= hpl)
        return StanfordRegion::Normal;
    return herr < alertLimit ? StanfordRegion::Misleading : StanfordRegion::Hazardous;
}

std::optional<double> PercentileOfSorted(std::span<const double> sorted, double p)
{
    if (sorted.empty())
        return std::nullopt;
    const double rank = p / 100.0 * static_cast<double>(sorted.size() - 1);
    const size_t below = static_cast<size_t>(std::floor(rank));
    if (below + 1 >= sorted.size())
        return sorted.back();
    const double fraction = rank - static_cast<double>(below);
    return sorted[below] + fraction * (sorted[below + 1] - sorted[below]);
}

namespace {

// Mean and sample standard deviation by Welford's update: sums of squares of
// metre-sized errors around a far mean would lose the spread to rounding.
struct MeanAndSpread {
    int64_t n = 0;
    double mean = 0.0;
    double m2 = 0.0;

    void Add(double x)
    {
        ++n;
        const double delta = x - mean;
        mean += delta / static_cast<double>(n);
        m2 += delta * (x - mean);
    }
    std::optional<double> Sigma() const
    {
        if (n < 2)
            return std::nullopt;
        return std::sqrt(m2 / static_cast<double>(n - 1));
    }
};

// The percentiles ps of `values` by the rule of PercentileOfSorted, without
// sorting: from the highest percentile down, each selection works only on
// the values below the one before, so all of them together cost a few passes.
std::vector<double> PercentilesBySelection(std::vector<double>& values, std::initializer_list<double> ps)
{
    const size_t n = values.size();
    std::vector<double> out(ps.size());
    std::vector<size_t> order(ps.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    const double* p = ps.begin();
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return p[a] > p[b]; });
    // [0, limit) holds the `limit` smallest values in any order; statistics
    // `limit` and `limit + 1` are known once limit < n.
    size_t limit = n;
    double atLimit = 0.0, afterLimit = 0.0;
    for (const size_t i : order) {
        const double rank = p[i] / 100.0 * static_cast<double>(n - 1);
        const size_t k = std::min(n - 1, static_cast<size_t>(std::floor(rank)));
        double statK = atLimit, statNext = afterLimit;
        if (k < limit) {
            std::nth_element(values.begin(), values.begin() + static_cast<ptrdiff_t>(k),
                             values.begin() + static_cast<ptrdiff_t>(limit));
            statK = values[k];
            statNext = k + 1 < limit ? *std::min_element(values.begin() + static_cast<ptrdiff_t>(k + 1),
                                                         values.begin() + static_cast<ptrdiff_t>(limit))
                                     : atLimit;
            limit = k;
            atLimit = statK;
            afterLimit = statNext;
        }
        out[i] = k + 1 >= n ? statK : statK + (rank - static_cast<double>(k)) * (statNext - statK);
    }
    return out;
}

}  // namespace

ErrorFigures FiguresOfErrors(std::span<const double> east, std::span<const double> north,
                             std::span<const double> up)
{
    ErrorFigures f;
    f.count = static_cast<int64_t>(east.size());
    if (f.count == 0)
        return f;
    MeanAndSpread e, n, u;
    std::vector<double> horizontal(east.size()), vertical(east.size());
    double sumSquares = 0.0;
    for (size_t i = 0; i < east.size(); ++i) {
        e.Add(east[i]);
        n.Add(north[i]);
        u.Add(up[i]);
        const double squared = east[i] * east[i] + north[i] * north[i];
        sumSquares += squared;
        // An error that could not be computed (a NaN from absurd input) ranks
        // as the largest, so the ordering stays sound.
        horizontal[i] = std::isnan(squared) ? HUGE_VAL : std::sqrt(squared);
        vertical[i] = std::isnan(up[i]) ? HUGE_VAL : std::fabs(up[i]);
    }
    f.biasE = e.mean;
    f.biasN = n.mean;
    f.biasU = u.mean;
    f.sigmaE = e.Sigma();
    f.sigmaN = n.Sigma();
    f.sigmaU = u.Sigma();
    const std::vector<double> h = PercentilesBySelection(horizontal, {50, 68, 95, 99});
    const std::vector<double> v = PercentilesBySelection(vertical, {50, 95});
    f.h50 = h[0];
    f.h68 = h[1];
    f.h95 = h[2];
    f.h99 = h[3];
    f.v50 = v[0];
    f.v95 = v[1];
    f.drms = std::sqrt(sumSquares / static_cast<double>(f.count));
    f.twoDrms = 2.0 * *f.drms;
    return f;
}

double PageHorizontalError(double latitude, double longitude, const GeodeticPosition& truth)
{
    return HorizontalDistanceKm(latitude, longitude, truth.latitude, truth.longitude) * 1000.0;
}

AccuracyReport ComputeAccuracy(std::span<const AccuracyFix> fixes, const std::optional<GeodeticPosition>& truth,
                               double alertLimit)
{
    AccuracyReport report;
    report.ggaCount = static_cast<int64_t>(fixes.size());
    report.referenceIsTruth = truth.has_value();

    GeodeticPosition mean;
    for (const AccuracyFix& fix : fixes) {
        if (!IsCountedQuality(fix.quality))
            continue;
        ++report.fixes;
        const double n = static_cast<double>(report.fixes);
        mean.latitude += (fix.latitude - mean.latitude) / n;
        mean.longitude += (fix.longitude - mean.longitude) / n;
        mean.altitude += (fix.altitude - mean.altitude) / n;
    }
    if (truth)
        report.reference = *truth;
    else if (report.fixes > 0)
        report.reference = mean;
    if (truth) {
        report.integrity = IntegrityCounts{};
        report.integrity->alertLimit = alertLimit;
    }
    if (!report.reference)
        return report;

    const LocalTangentPlane plane(report.reference->latitude, report.reference->longitude,
                                  report.reference->altitude);
    struct Errors {
        std::vector<double> east, north, up;
    };
    Errors all;
    std::array<Errors, kMaxFixQuality + 1> byQuality;
    for (std::vector<double>* v : {&all.east, &all.north, &all.up})
        v->reserve(static_cast<size_t>(report.fixes));
    for (const AccuracyFix& fix : fixes) {
        if (!IsCountedQuality(fix.quality))
            continue;
        const EastNorthUp enu = plane.FromGeodetic(fix.latitude, fix.longitude, fix.altitude);
        for (Errors* set : {&all, &byQuality[static_cast<size_t>(fix.quality)]}) {
            set->east.push_back(enu.east);
            set->north.push_back(enu.north);
            set->up.push_back(enu.up);
        }
        if (report.integrity && fix.hpl > 0.0) {
            const double herr = PageHorizontalError(fix.latitude, fix.longitude, *truth);
            ++report.integrity->epochs;
            ++report.integrity->regions[static_cast<size_t>(ClassifyEpoch(herr, fix.hpl, alertLimit))];
        }
    }
    report.all = FiguresOfErrors(all.east, all.north, all.up);
    for (size_t q = 1; q < byQuality.size(); ++q)
        if (!byQuality[q].east.empty())
            report.byQuality[q] = FiguresOfErrors(byQuality[q].east, byQuality[q].north, byQuality[q].up);
    if (report.integrity && report.integrity->epochs > 0) {
        const IntegrityCounts& c = *report.integrity;
        const int64_t available = c.Count(StanfordRegion::Normal) + c.Count(StanfordRegion::Misleading)
            + c.Count(StanfordRegion::Hazardous);
        report.integrity->availability = static_cast<double>(available) / static_cast<double>(c.epochs);
    }
    return report;
}
