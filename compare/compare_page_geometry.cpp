#include "compare/compare_page_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "analysis/accuracy_page_geometry.h"

namespace {

constexpr int kMargin = 8;
constexpr int kGap = 22;  // between panels: room for a title
constexpr size_t kMaxScatterDots = 4000;
constexpr int kLabelWidth = 34;

std::string Fixed(const std::optional<double>& value, int decimals, const char* unit = "")
{
    if (!value || !std::isfinite(*value))
        return "-";
    char text[48];
    std::snprintf(text, sizeof text, "%.*f%s", decimals, *value, unit);
    return text;
}

char SystemLetter(GnssSystem system)
{
    switch (system) {
    case GnssSystem::GPS: return 'G';
    case GnssSystem::SBAS: return 'S';
    case GnssSystem::GLONASS: return 'R';
    case GnssSystem::Galileo: return 'E';
    case GnssSystem::BeiDou: return 'C';
    case GnssSystem::QZSS: return 'J';
    case GnssSystem::NavIC: return 'I';
    case GnssSystem::Unknown: break;
    }
    return '?';
}

// Points of a line over x, one column of pixels at a time: its lowest and
// highest y there, so that a day of fixes draws as cheaply as a minute.
std::vector<PixelPoint> Columns(std::vector<PixelPoint> points)
{
    std::vector<PixelPoint> out;
    size_t i = 0;
    while (i < points.size()) {
        const int x = points[i].x;
        int low = points[i].y, high = points[i].y, last = points[i].y;
        for (; i < points.size() && points[i].x == x; ++i) {
            low = std::min(low, points[i].y);
            high = std::max(high, points[i].y);
            last = points[i].y;
        }
        out.push_back({x, high == last ? low : high});
        if (low != high)
            out.push_back({x, last});
    }
    return out;
}

}  // namespace

CompareTable MakeCompareTable(const std::vector<ReceiverComparison>& receivers)
{
    CompareTable t;
    t.labels = {"fixes",      "matched",     "availability", "bias E",      "bias N",     "bias U",
                "sigma E",    "sigma N",     "sigma U",      "h50",         "h95",        "v95",
                "DRMS",       "2DRMS",       "along bias",   "along sigma", "cross bias", "cross sigma",
                "latency",    "latency p95"};
    const auto metres = [](const std::optional<double>& v) { return Fixed(v, 3, " m"); };
    const auto percent = [](const std::optional<double>& v) {
        return Fixed(v ? std::optional(*v * 100.0) : std::nullopt, 1, " %");
    };
    const auto bias = [](const std::optional<BiasAndSigma>& v) {
        return v ? std::optional<double>(v->bias) : std::nullopt;
    };
    const auto sigma = [](const std::optional<BiasAndSigma>& v) { return v ? v->sigma : std::nullopt; };
    const auto ms = [](const std::optional<LatencyFigures>& v, bool p95) {
        return Fixed(v ? std::optional((p95 ? v->p95 : v->mean) * 1000.0) : std::nullopt, 0, " ms");
    };
    for (const ReceiverComparison& f : receivers)
        t.columns.push_back({std::to_string(f.epochs), std::to_string(f.matched), percent(f.availability),
                             metres(f.all.biasE), metres(f.all.biasN), metres(f.all.biasU),
                             metres(f.all.sigmaE), metres(f.all.sigmaN), metres(f.all.sigmaU),
                             metres(f.all.h50), metres(f.all.h95), metres(f.all.v95),
                             metres(f.all.drms), metres(f.all.twoDrms),
                             metres(bias(f.alongTrack)), metres(sigma(f.alongTrack)),
                             metres(bias(f.crossTrack)), metres(sigma(f.crossTrack)),
                             ms(f.latency, false), ms(f.latency, true)});
    for (size_t q = 1; q <= kMaxFixQuality; ++q) {
        const bool present = std::any_of(receivers.begin(), receivers.end(),
                                         [q](const ReceiverComparison& f) { return f.byQuality[q].has_value(); });
        if (!present)
            continue;
        const std::string name = "quality " + std::to_string(q);
        t.labels.insert(t.labels.end(), {name + " fixes", name + " avail.", name + " h95"});
        for (size_t i = 0; i < receivers.size(); ++i) {
            const std::optional<ErrorFigures>& f = receivers[i].byQuality[q];
            t.columns[i].insert(t.columns[i].end(), {f ? std::to_string(f->count) : std::string("0"),
                                                     percent(receivers[i].availabilityByQuality[q]),
                                                     metres(f ? f->h95 : std::nullopt)});
        }
    }
    return t;
}

ComparePageGeometry ComputeComparePageGeometry(int width, int height, const CompareFeed& feed)
{
    ComparePageGeometry g;
    using G = ComparePageGeometry;
    const int top = G::kChooserHeight;
    const int left = kMargin;
    const int right = std::max(left + 40, width - kMargin);
    const int bottom = std::max(top + 60, height - kMargin);
    const int split = left + (right - left) * 62 / 100;
    const int rowHeight = (bottom - top) / 3;

    g.timePlot = {left, top + kGap, split, top + rowHeight};
    g.cdfPlot = {left, top + rowHeight + kGap, split, top + 2 * rowHeight};
    const PixelRect scatterRow{left, top + 2 * rowHeight + kGap, split, bottom};
    const std::vector<const CompareFeed::ReceiverEntry*> tested = feed.UnderTest();
    const Comparison& result = feed.Result();
    const int n = static_cast<int>(tested.size());
    std::vector<ReceiverComparison> figures;
    for (const CompareFeed::ReceiverEntry* r : tested)
        figures.push_back(result.Figures(r->index));
    const CompareTable table = MakeCompareTable(figures);
    const int labels = static_cast<int>(table.labels.size());
    g.table = {split + kGap, top + kGap, right, std::min(bottom, top + kGap + (labels + 1) * G::kLineHeight)};
    g.signalPlot = {split + kGap, g.table.bottom + kGap, right, bottom};
    g.texts.push_back({{g.cdfPlot.left, g.cdfPlot.top - G::kLineHeight - 2}, "Cumulative distribution of the horizontal error", -1, true});

    // Scales shared by every receiver, so their plots compare at a glance.
    double maxError = 0.0, maxH99 = 0.0, maxH95 = 0.0;
    double firstKey = HUGE_VAL, lastKey = -HUGE_VAL;
    for (int i = 0; i < n; ++i) {
        const CompareFeed::ReceiverEntry* r = tested[static_cast<size_t>(i)];
        maxH99 = std::max(maxH99, figures[static_cast<size_t>(i)].all.h99.value_or(0.0));
        maxH95 = std::max(maxH95, figures[static_cast<size_t>(i)].all.h95.value_or(0.0));
        for (const MatchedError& e : result.Errors(r->index)) {
            const double h = std::hypot(e.east, e.north);
            if (std::isfinite(h))
                maxError = std::max(maxError, h);
            firstKey = std::min(firstKey, e.key);
            lastKey = std::max(lastKey, e.key);
        }
    }
    g.timeRange = NiceCeiling(maxError * 1.05);
    const std::string span = lastKey >= firstKey ? " (" + Fixed(lastKey - firstKey, 0, " s") + ")" : std::string();
    g.texts.push_back({{g.timePlot.left, g.timePlot.top - G::kLineHeight - 2}, "Horizontal error over time" + span, -1, true});
    g.cdfRange = NiceCeiling(maxH99 * 1.1);
    g.scatterHalfRange = NiceCeiling(maxH95 * 1.2);
    g.texts.push_back({{scatterRow.left, scatterRow.top - G::kLineHeight - 2},
                       "East/north error (+-" + Fixed(g.scatterHalfRange, g.scatterHalfRange < 1 ? 2 : 0, " m)"), -1, true});
    const auto scaleText = [&](const PixelRect& plot, double range, const char* unit) {
        g.texts.push_back({{plot.left + 3, plot.top + 2}, Fixed(range, range < 1 ? 2 : 0, unit)});
    };
    scaleText(g.timePlot, g.timeRange, " m");
    scaleText(g.cdfPlot, 1.0, "");
    g.texts.push_back({{g.cdfPlot.right - 60, g.cdfPlot.bottom - G::kLineHeight - 2}, Fixed(g.cdfRange, g.cdfRange < 1 ? 2 : 0, " m")});

    for (int i = 0; i < n; ++i) {
        const std::vector<MatchedError>& errors = result.Errors(tested[static_cast<size_t>(i)]->index);
        // Over time.
        const double span = std::max(lastKey - firstKey, 1e-9);
        std::vector<PixelPoint> points;
        std::vector<double> horizontal;
        for (const MatchedError& e : errors) {
            const double h = std::hypot(e.east, e.north);
            horizontal.push_back(h);
            const double x = g.timePlot.left + (e.key - firstKey) / span * (g.timePlot.Width() - 1);
            const double y = g.timePlot.bottom - 1 - h / g.timeRange * (g.timePlot.Height() - 1);
            points.push_back({TruncToPixel(std::floor(x)), TruncToPixel(std::floor(y))});
        }
        std::stable_sort(points.begin(), points.end(), [](const PixelPoint& a, const PixelPoint& b) { return a.x < b.x; });
        g.timeLines.push_back({i, Columns(std::move(points))});
        // The distribution: the share of errors at or below each metre value.
        std::sort(horizontal.begin(), horizontal.end());
        std::vector<PixelPoint> cdf;
        const double count = static_cast<double>(horizontal.size());
        for (size_t k = 0; k < horizontal.size(); ++k) {
            const double x = g.cdfPlot.left + std::min(horizontal[k] / g.cdfRange, 1.0) * (g.cdfPlot.Width() - 1);
            const double y = g.cdfPlot.bottom - 1 - (static_cast<double>(k) + 1.0) / count * (g.cdfPlot.Height() - 1);
            cdf.push_back({TruncToPixel(std::floor(x)), TruncToPixel(std::floor(y))});
        }
        g.cdfLines.push_back({i, Columns(std::move(cdf))});
    }

    // One square scatter per receiver, side by side.
    if (n > 0) {
        const int side = std::max(10, std::min(scatterRow.Height(), (scatterRow.Width() - (n - 1) * kMargin) / n));
        for (int i = 0; i < n; ++i) {
            const PixelRect plot{scatterRow.left + i * (side + kMargin), scatterRow.top,
                                 scatterRow.left + i * (side + kMargin) + side, scatterRow.top + side};
            g.scatterPlots.push_back(plot);
            const double scale = side / 2.0 / g.scatterHalfRange;
            const double cx = plot.left + side / 2.0, cy = plot.top + side / 2.0;
            g.scatterCrosses.push_back({plot.left, TruncToPixel(std::floor(cy)), plot.right, TruncToPixel(std::floor(cy)) + 1});
            g.scatterCrosses.push_back({TruncToPixel(std::floor(cx)), plot.top, TruncToPixel(std::floor(cx)) + 1, plot.bottom});
            const std::vector<MatchedError>& errors = result.Errors(tested[static_cast<size_t>(i)]->index);
            G::Dots dots{i, {}};
            const size_t from = errors.size() > kMaxScatterDots ? errors.size() - kMaxScatterDots : 0;
            for (size_t k = from; k < errors.size(); ++k) {
                const PixelPoint p{TruncToPixel(std::floor(cx + errors[k].east * scale)),
                                   TruncToPixel(std::floor(cy - errors[k].north * scale))};
                if (plot.Contains(p.x, p.y))
                    dots.points.push_back(p);
            }
            g.scatterDots.push_back(std::move(dots));
            g.texts.push_back({{plot.left + 3, plot.top + 2}, tested[static_cast<size_t>(i)]->name, i});
        }
    }

    // The table: labels, then a column per receiver under its name.
    const std::vector<std::string>& rowLabels = table.labels;
    const int labelWidth = std::min(90, g.table.Width() / 2);
    const int columnWidth = n > 0 ? std::max(40, (g.table.Width() - labelWidth) / n) : 0;
    g.texts.push_back({{g.table.left, g.table.top - G::kLineHeight - 2}, "Against " + [&] {
        switch (feed.Kind()) {
        case CompareFeed::ReferenceKind::Point: return std::string("the user position");
        case CompareFeed::ReferenceKind::Trajectory: return feed.TrajectoryName();
        case CompareFeed::ReferenceKind::Receiver: {
            const CompareFeed::ReceiverEntry* r = feed.Receiver(*feed.ReferenceReceiver());
            return r != nullptr ? r->name : std::string("a receiver not heard yet");
        }
        case CompareFeed::ReferenceKind::None: break;
        }
        return std::string("no reference");
    }(), -1, true});
    for (size_t row = 0; row < rowLabels.size(); ++row)
        g.texts.push_back({{g.table.left, g.table.top + static_cast<int>(row + 1) * G::kLineHeight}, rowLabels[row]});
    for (int i = 0; i < n; ++i) {
        const int x = g.table.left + labelWidth + i * columnWidth;
        g.texts.push_back({{x, g.table.top}, tested[static_cast<size_t>(i)]->name, i, true});
        const std::vector<std::string>& column = table.columns[static_cast<size_t>(i)];
        for (size_t row = 0; row < column.size(); ++row)
            g.texts.push_back({{x, g.table.top + static_cast<int>(row + 1) * G::kLineHeight}, column[row], i});
    }

    // C/N0 of one receiver minus the other's: a bar up or down per signal.
    const auto pair = feed.SignalPair();
    g.texts.push_back({{g.signalPlot.left, g.signalPlot.top - G::kLineHeight - 2},
                       pair ? "C/N0 " + pair->first->name + " minus " + pair->second->name
                            : std::string("C/N0 difference: needs two receivers"),
                       -1, true});
    if (pair && g.signalPlot.Height() > 2 * G::kLineHeight) {
        const std::vector<SignalDifference> differences = SignalDifferences(pair->first->lastGnss, pair->second->lastGnss);
        int largest = 0;
        for (const SignalDifference& d : differences)
            largest = std::max(largest, std::abs(d.difference));
        g.signalRange = NiceCeiling(std::max(largest, 5) * 1.0);
        const int plotBottom = g.signalPlot.bottom - G::kLineHeight;  // labels below
        const double middle = (g.signalPlot.top + plotBottom) / 2.0;
        const double scale = (plotBottom - g.signalPlot.top) / 2.0 / g.signalRange;
        const int count = static_cast<int>(differences.size());
        const int pitch = count > 0 ? std::max(1, g.signalPlot.Width() / count) : 0;
        const int m = TruncToPixel(std::floor(middle));
        g.signalZero = {g.signalPlot.left, m, g.signalPlot.right, m + 1};
        for (int k = 0; k < count; ++k) {
            const SignalDifference& d = differences[static_cast<size_t>(k)];
            const int x = g.signalPlot.left + k * pitch;
            const int y = TruncToPixel(std::floor(middle - d.difference * scale));
            g.signalBars.push_back({{x + 1, std::min(y, m), x + std::max(2, pitch - 1), std::max(y, m) + 1}, d.difference >= 0});
            // A label where the one before leaves room (three characters).
            if (k % ((kLabelWidth + pitch - 1) / pitch) == 0)
                g.texts.push_back({{x, plotBottom + 1}, SystemLetter(d.system) + std::to_string(d.number)});
        }
        g.texts.push_back({{g.signalPlot.left + 3, g.signalPlot.top + 2}, "+" + Fixed(g.signalRange, 0, " dB-Hz")});
    }
    return g;
}
