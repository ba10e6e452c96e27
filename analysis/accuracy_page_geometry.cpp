#include "analysis/accuracy_page_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <initializer_list>

#include "nmea/receiver_state.h"

namespace {

using G = AccuracyPageGeometry;

constexpr int kMargin = 8;
constexpr int kAxisLeft = 44;    // room for the scale labels left of a plot
constexpr int kAxisBottom = 18;  // and below it

int TextWidth(const TextMeasure& measure, const std::string& text)
{
    if (measure)
        return measure(text).cx;
    return static_cast<int>(text.size()) * G::kFontPixels * 6 / 10;
}

std::string Format(const char* format, double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

std::string Metres(const std::optional<double>& value)
{
    return value ? Format("%.2f", *value) : std::string("-");
}

std::string QualityName(int quality)
{
    const char* name = FixQualityText(quality);
    return name != nullptr ? name : "Quality " + std::to_string(quality);
}

// The first of `candidates` that fits `width`, else the last.
std::string Fitted(std::initializer_list<std::string> candidates, int width, const TextMeasure& measure)
{
    for (const std::string& text : candidates)
        if (TextWidth(measure, text) <= width)
            return text;
    return *(candidates.end() - 1);
}

// `text` broken at blanks into lines of at most `width` (a word longer than
// that stands alone).
std::vector<std::string> Wrapped(const std::string& text, int width, const TextMeasure& measure)
{
    std::vector<std::string> lines;
    std::string line;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = std::min(text.find(' ', start), text.size());
        const std::string word = text.substr(start, end - start);
        const std::string longer = line.empty() ? word : line + " " + word;
        if (!line.empty() && TextWidth(measure, longer) > width) {
            lines.push_back(line);
            line = word;
        } else {
            line = longer;
        }
        start = end + 1;
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

// The plot area inside a panel: a title line on top, scale labels left and
// below.
PixelRect PlotArea(const PixelRect& panel)
{
    return {panel.left + kAxisLeft, panel.top + G::kLineHeight + 4, panel.right - 6, panel.bottom - kAxisBottom};
}

PixelRect CentredSquare(const PixelRect& area, int side)
{
    const int left = area.left + (area.Width() - side) / 2;
    const int top = area.top + (area.Height() - side) / 2;
    return {left, top, left + side, top + side};
}

void AddScale(G& g, const PixelRect& plot, double xRange, double yRange, const char* xUnit, const char* yUnit,
              const TextMeasure& measure)
{
    const char* const format = "%g";
    g.labels.push_back({{plot.left - kAxisLeft + 2, plot.bottom - G::kLineHeight + 2}, Format(format, 0.0)});
    g.labels.push_back({{plot.left - kAxisLeft + 2, plot.top}, Format(format, yRange) + yUnit});
    // Right-aligned under the plot's end, so a long one ("131072 fixes")
    // stays on the page.
    const std::string x = Format(format, xRange) + xUnit;
    g.labels.push_back({{plot.right - TextWidth(measure, x), plot.bottom + 2}, x});
}

void CardLines(G& g, const AccuracyTracker& tracker, const AccuracyReport* exact)
{
    int y = g.card.top + 4;
    const int x = g.card.left + 6;
    const int values = x + 112;
    auto line = [&](const std::string& label, const std::string& value, bool heading = false) {
        if (y + G::kLineHeight > g.card.bottom)
            return;
        g.cardLines.push_back({{heading ? x : x + 8, y}, label, heading});
        if (!value.empty())
            g.cardLines.push_back({{values, y}, value});
        y += G::kLineHeight;
    };

    line("Accuracy", "", true);
    const std::optional<GeodeticPosition> reference = exact != nullptr ? exact->reference : tracker.Reference();
    if (reference) {
        line("Reference", Format("%.7f", reference->latitude) + ", " + Format("%.7f", reference->longitude));
        line("", Format("%.2f m", reference->altitude));
    } else {
        line("Reference", "none yet");
    }
    line("Source", ReferenceSourceText(tracker.Truth().has_value()));
    const int64_t fixes = exact != nullptr ? exact->fixes : tracker.Fixes();
    const int64_t ggas = exact != nullptr ? exact->ggaCount : tracker.GgaCount();
    line("Fixes", std::to_string(fixes) + " of " + std::to_string(ggas) + " GGA");
    const auto seconds = [](const std::optional<double>& s) { return s ? Format("%.1f s", *s) : std::string("-"); };
    line("First fix", seconds(tracker.TimeToFirstFix()));
    line("First RTK fixed", seconds(tracker.TimeToFirstRtkFixed()));
    // Times from the first RTCM correction sent, once there was one.
    if (tracker.CorrectionsStarted()) {
        line("To float (RTCM)", seconds(tracker.CorrectionsToFloat()));
        line("To fixed (RTCM)", seconds(tracker.CorrectionsToFixed()));
    }
    y += G::kLineHeight / 2;

    // Live percentiles come from the histograms' bins: near, not exact.
    const std::string about = exact != nullptr ? "" : "\u2248 ";
    for (int set = 0; set <= kMaxFixQuality; ++set) {
        ErrorFigures f;
        if (exact == nullptr)
            f = tracker.Figures(set);
        else if (set == 0)
            f = exact->all;
        else if (exact->byQuality[static_cast<size_t>(set)])
            f = *exact->byQuality[static_cast<size_t>(set)];
        if (f.count == 0 && set != 0)
            continue;
        line((set == 0 ? std::string("All fixes") : QualityName(set)) + " (" + std::to_string(f.count) + ")", "",
             true);
        line("Bias E/N/U", Metres(f.biasE) + "  " + Metres(f.biasN) + "  " + Metres(f.biasU) + " m");
        line("Sigma E/N/U", Metres(f.sigmaE) + "  " + Metres(f.sigmaN) + "  " + Metres(f.sigmaU) + " m");
        line("H 50/68/95/99",
             about + Metres(f.h50) + "  " + Metres(f.h68) + "  " + Metres(f.h95) + "  " + Metres(f.h99) + " m");
        line("V 50/95", about + Metres(f.v50) + "  " + Metres(f.v95) + " m");
        line("DRMS / 2DRMS", Metres(f.drms) + "  " + Metres(f.twoDrms) + " m");
    }
    y += G::kLineHeight / 2;
    const std::optional<IntegrityCounts> integrity = tracker.Integrity();
    line("Integrity", "", true);
    if (!integrity) {
        line("Set the user position to measure it", "");
        return;
    }
    line("Alert limit", Format("%g m", integrity->alertLimit));
    line("Epochs", std::to_string(integrity->epochs));
    line("Availability", integrity->availability ? Format("%.2f %%", *integrity->availability * 100.0) : "-");
}

// The card as wide as its widest line needs, within `most`.
void FitCard(G& g, int most, const TextMeasure& measure)
{
    int right = g.card.right;
    for (const G::Text& t : g.cardLines)
        right = std::max(right, t.at.x + TextWidth(measure, t.text) + 6);
    g.card.right = std::min(right, std::max(g.card.right, g.card.left + most));
}

void Scatter(G& g, const PixelRect& panel, const AccuracyTracker& tracker, const TextMeasure& measure)
{
    g.labels.push_back({{panel.left, panel.top}, "East / north error", true});
    const PixelRect area = PlotArea(panel);
    g.scatterPlot = CentredSquare(area, std::max(0, std::min(area.Width(), area.Height())));
    const ErrorFigures f = tracker.Figures(0);
    double extent = 0.0;
    for (const auto& value : {f.h99, f.twoDrms})
        extent = std::max(extent, value.value_or(0.0));
    extent = std::max(extent, std::hypot(f.biasE.value_or(0.0), f.biasN.value_or(0.0)) + f.h50.value_or(0.0));
    g.scatterHalfRange = NiceCeiling(extent * 1.1);
    const double scale = g.scatterPlot.Width() / 2.0 / g.scatterHalfRange;
    const double cx = (g.scatterPlot.left + g.scatterPlot.right) / 2.0;
    const double cy = (g.scatterPlot.top + g.scatterPlot.bottom) / 2.0;
    auto toPixel = [&](double east, double north) {
        return PixelPoint{TruncToPixel(std::floor(cx + east * scale)), TruncToPixel(std::floor(cy - north * scale))};
    };
    for (const auto& [east, north] : tracker.ScatterSample()) {
        const PixelPoint p = toPixel(east, north);
        if (g.scatterPlot.Contains(p.x, p.y))
            g.scatterDots.push_back(p);
    }
    const PixelPoint centre = toPixel(0.0, 0.0);
    const std::pair<const char*, std::optional<double>> circles[] = {{"h50", f.h50}, {"h95", f.h95}, {"2DRMS", f.twoDrms}};
    // Their names in the strip left of the plot, between the scale's
    // labels: never over a circle.
    int y = g.scatterPlot.top + g.scatterPlot.Height() / 2 - 3 * G::kLineHeight / 2;
    for (const auto& [label, radius] : circles) {
        if (!radius)
            continue;
        g.circles.push_back({centre, TruncToPixel(std::lround(*radius * scale)), label,
                             {std::max(panel.left, g.scatterPlot.left - 4 - TextWidth(measure, label)), y}});
        y += G::kLineHeight;
    }
    if (f.biasE && f.biasN) {
        const PixelPoint b = toPixel(*f.biasE, *f.biasN);
        g.biasCross.push_back({{b.x - 6, b.y}, {b.x + 7, b.y}});
        g.biasCross.push_back({{b.x, b.y - 6}, {b.x, b.y + 7}});
    }
    g.labels.push_back({{g.scatterPlot.left - kAxisLeft + 2, g.scatterPlot.top}, Format("%g m", g.scatterHalfRange)});
    const std::string across = Format("%g m", g.scatterHalfRange);
    g.labels.push_back({{g.scatterPlot.right - TextWidth(measure, across), g.scatterPlot.bottom + 2}, across});
}

void Cdf(G& g, const PixelRect& panel, const AccuracyTracker& tracker, const TextMeasure& measure)
{
    g.labels.push_back(
        {{panel.left, panel.top},
         Fitted({"Horizontal error, cumulative", "HErr, cumulative"}, panel.Width(), measure), true});
    g.cdfPlot = PlotArea(panel);
    const ErrorHistogram& histogram = tracker.HorizontalHistogram();
    g.cdfRange = NiceCeiling(histogram.Percentile(99).value_or(0.0) * 1.1);
    AddScale(g, g.cdfPlot, g.cdfRange, 100.0, " m", " %", measure);
    if (histogram.Total() == 0)
        return;
    const int width = g.cdfPlot.Width();
    for (int column = 0; column < width; ++column) {
        const double metres = g.cdfRange * (column + 1) / width;
        const double share = histogram.ShareAtOrBelow(metres);
        g.cdfLine.push_back({g.cdfPlot.left + column,
                             g.cdfPlot.bottom - 1 - TruncToPixel(std::lround(share * (g.cdfPlot.Height() - 1)))});
    }
}

void Stanford(G& g, const PixelRect& panel, const AccuracyTracker& tracker, const TextMeasure& measure)
{
    const std::string title = Fitted({"Stanford diagram: HErr across, HPL up", "Stanford: HErr across, HPL up",
                                      "Stanford diagram"},
                                     panel.Width(), measure);
    g.labels.push_back({{panel.left, panel.top}, title, true});
    const PixelRect area = PlotArea(panel);
    const int cell = std::max(1, std::min(area.Width(), area.Height()) / StanfordGrid::kCells);
    g.stanfordPlot = CentredSquare(area, cell * StanfordGrid::kCells);
    const StanfordGrid& grid = tracker.Stanford();
    g.stanfordRange = grid.range;
    const PixelRect& p = g.stanfordPlot;
    AddScale(g, p, grid.range, grid.range, " m", " m", measure);

    uint32_t largest = 0;
    for (const uint32_t count : grid.counts)
        largest = std::max(largest, count);
    const double logLargest = std::log(static_cast<double>(largest));
    for (int y = 0; y < StanfordGrid::kCells; ++y)
        for (int x = 0; x < StanfordGrid::kCells; ++x) {
            const uint32_t count = grid.At(x, y);
            if (count == 0)
                continue;
            const int left = p.left + x * cell;
            const int bottom = p.bottom - y * cell;
            g.stanfordCells.push_back({{left, bottom - cell, left + cell, bottom},
                                       largest > 1 ? std::log(static_cast<double>(count)) / logLargest : 1.0});
        }
    if (largest > 0) {
        // The key, in the title line: a ramp of the shades between "1" and
        // the largest count.
        // Where the title leaves no room for it, in the row under the plot,
        // between the scale's labels.
        constexpr int kSteps = 10;
        int step = 6;
        const std::string most = std::to_string(largest);
        int right = panel.right - 4 - TextWidth(measure, most);
        int top = panel.top;
        if (right - kSteps * step - TextWidth(measure, "1") - 8 < panel.left + TextWidth(measure, title) + 8) {
            // From the left edge of the panel up to the scale's label at the
            // right, the ramp narrowed to fit.
            const int end = p.right - TextWidth(measure, Format("%g", grid.range) + " m") - 6;
            const int start = panel.left + TextWidth(measure, "1") + 4;
            step = std::clamp((end - start - TextWidth(measure, most) - 3) / kSteps, 2, 6);
            right = start + kSteps * step;
            top = p.bottom + 2;
        }
        const int left = right - kSteps * step;
        for (int i = 0; i < kSteps; ++i)
            g.stanfordLegend.push_back({{left + i * step, top + 3, left + (i + 1) * step, top + 12},
                                        static_cast<double>(i) / (kSteps - 1)});
        g.labels.push_back({{left - 4 - TextWidth(measure, "1"), top}, "1"});
        g.labels.push_back({{right + 3, top}, most});
    }
    const double scale = static_cast<double>(p.Width()) / grid.range;
    const int al = TruncToPixel(std::lround(tracker.AlertLimit() * scale));
    g.diagonal = {{p.left, p.bottom - 1}, {p.right - 1, p.top}};
    g.alertLimitAcross = {{p.left + al, p.top}, {p.left + al, p.bottom - 1}};
    g.alertLimitUp = {{p.left, p.bottom - 1 - al}, {p.right - 1, p.bottom - 1 - al}};

    const std::optional<IntegrityCounts> integrity = tracker.Integrity();
    if (!integrity) {
        // Centred in the plot, on two lines where one does not fit, on the
        // page's background so the grid does not strike it through.
        const std::vector<std::string> lines = Wrapped("No user position: no integrity", p.Width() - 8, measure);
        int y = p.top + (p.Height() - static_cast<int>(lines.size()) * G::kLineHeight) / 2;
        for (const std::string& line : lines) {
            g.labels.push_back({{p.left + std::max(2, (p.Width() - TextWidth(measure, line)) / 2), y}, line, false, true});
            y += G::kLineHeight;
        }
        return;
    }
    // Each name sits inside its region, in fractions of the axes.
    struct Place {
        StanfordRegion region;
        const char* name;
        double across, up;
    };
    const Place places[] = {
        {StanfordRegion::Normal, "Normal", 0.03, 0.40},
        {StanfordRegion::Misleading, "MI", 0.22, 0.12},
        {StanfordRegion::Hazardous, "HMI", 0.55, 0.20},
        {StanfordRegion::Unavailable, "Unavailable", 0.03, 0.93},
        {StanfordRegion::UnavailableMi, "Unavailable MI", 0.70, 0.60},
    };
    // Two lines each where the plot has room for them, else one; a name
    // that would cover another moves down until it is clear. In a plot too
    // small for all five, the card lists them instead.
    const bool roomy = p.Height() >= 12 * G::kLineHeight;
    std::vector<PixelRect> taken;
    std::vector<G::Text> placed;
    std::vector<std::pair<std::string, std::string>> listed;
    bool fits = true;
    for (const Place& place : places) {
        const int64_t count = integrity->Count(place.region);
        const double share = integrity->epochs > 0 ? 100.0 * static_cast<double>(count) / integrity->epochs : 0.0;
        const std::string counted = std::to_string(count) + Format(" (%.1f %%)", share);
        listed.emplace_back(place.name, counted);
        std::vector<std::string> lines{place.name, counted};
        if (!roomy)
            lines = {std::string(place.name) + " " + counted};
        int wide = 0;
        for (const std::string& line : lines)
            wide = std::max(wide, TextWidth(measure, line));
        const int high = static_cast<int>(lines.size()) * G::kLineHeight;
        PixelRect box{std::max(p.left + 2, std::min(p.left + TruncToPixel(place.across * p.Width()), p.right - 2 - wide)),
                      std::max(p.top, std::min(p.bottom - TruncToPixel(place.up * p.Height()), p.bottom - high)), 0, 0};
        box.right = box.left + wide;
        box.bottom = box.top + high;
        const auto clear = [&] {
            return std::none_of(taken.begin(), taken.end(), [&](const PixelRect& t) {
                return t.left < box.right && box.left < t.right && t.top < box.bottom && box.top < t.bottom;
            });
        };
        for (int tries = 0; tries < 40 && !clear(); ++tries) {
            const int down = box.bottom + 4 <= p.bottom ? 4 : -(box.top - p.top);
            box.top += down;
            box.bottom += down;
        }
        fits = fits && clear() && box.right <= p.right && box.bottom <= p.bottom;
        taken.push_back(box);
        for (size_t i = 0; i < lines.size(); ++i)
            placed.push_back({{box.left, box.top + static_cast<int>(i) * G::kLineHeight}, lines[i], false, true});
    }
    if (fits) {
        g.labels.insert(g.labels.end(), placed.begin(), placed.end());
        return;
    }
    int y = g.card.top + 4;
    for (const G::Text& t : g.cardLines)
        y = std::max(y, t.at.y + G::kLineHeight);
    for (const auto& [name, counted] : listed) {
        if (y + G::kLineHeight > g.card.bottom)
            break;
        g.cardLines.push_back({{g.card.left + 14, y}, name});
        g.cardLines.push_back({{g.card.left + 118, y}, counted});
        y += G::kLineHeight;
    }
}

void Timeline(G& g, const PixelRect& panel, const AccuracyTracker& tracker, const std::string& estimateName,
              const TextMeasure& measure)
{
    g.labels.push_back({{panel.left, panel.top},
                        Fitted({"Horizontal error and " + estimateName + " over time", "HErr and " + estimateName + " over time",
                                "HErr and " + estimateName},
                               panel.Width(), measure),
                        true});
    g.timelinePlot = PlotArea(panel);
    const ErrorTimeline& timeline = tracker.Timeline();
    double top = 0.0;
    for (const ErrorTimeline::Bucket& b : timeline.buckets)
        top = std::max({top, b.hasError ? double(b.errorMax) : 0.0, b.hasEstimate ? double(b.estimateMax) : 0.0});
    g.timelineRange = NiceCeiling(top * 1.05);
    // The right edge is where the buckets run full and merge.
    AddScale(g, g.timelinePlot, static_cast<double>(timeline.fixesPerBucket * ErrorTimeline::kBuckets),
             g.timelineRange, " fixes", " m", measure);
    const PixelRect& p = g.timelinePlot;
    const double columnsPerBucket = static_cast<double>(p.Width()) / ErrorTimeline::kBuckets;
    const double scale = (p.Height() - 1) / g.timelineRange;
    auto bar = [&](size_t i, float low, float high) {
        const int left = p.left + TruncToPixel(std::floor(i * columnsPerBucket));
        const int right = std::max(left + 1, p.left + TruncToPixel(std::floor((i + 1) * columnsPerBucket)));
        const int bottom = p.bottom - TruncToPixel(std::lround(low * scale));
        const int topY = p.bottom - 1 - TruncToPixel(std::lround(high * scale));
        return PixelRect{left, std::max(p.top, topY), right, std::max(bottom, topY + 1)};
    };
    for (size_t i = 0; i < timeline.buckets.size(); ++i) {
        const ErrorTimeline::Bucket& b = timeline.buckets[i];
        if (b.hasEstimate)
            g.estimateBars.push_back(bar(i, b.estimateMin, b.estimateMax));
        if (b.hasError)
            g.errorBars.push_back(bar(i, b.errorMin, b.errorMax));
    }
    const double columnsPerFix = static_cast<double>(p.Width()) / static_cast<double>(timeline.fixesPerBucket * ErrorTimeline::kBuckets);
    for (const ErrorTimeline::QualityChange& c : timeline.changes)
        g.qualityMarks.push_back({p.left + TruncToPixel(std::floor(static_cast<double>(c.fix) * columnsPerFix)), c.quality});
}

}  // namespace

double NiceCeiling(double value)
{
    if (!(value > 0.0) || !std::isfinite(value))
        return 1.0;
    const double power = std::pow(10.0, std::floor(std::log10(value)));
    for (const double step : {1.0, 2.0, 5.0, 10.0})
        if (step * power >= value * (1.0 - 1e-12))
            return step * power;
    return 10.0 * power;
}

std::string ReferenceSourceText(bool truth) { return truth ? "truth (user position)" : "mean (of the fixes)"; }

AccuracyPageGeometry ComputeAccuracyPageGeometry(int width, int height, const AccuracyTracker& tracker,
                                                 const std::string& estimateName, const AccuracyReport* exact,
                                                 const TextMeasure& measure)
{
    G g;
    const int cardWidth = std::clamp(width * 3 / 10, 240, 380);
    g.card = {kMargin, kMargin, kMargin + cardWidth, std::max(kMargin, height - kMargin)};
    CardLines(g, tracker, exact);
    FitCard(g, std::max(cardWidth, width * 45 / 100), measure);

    const int left = g.card.right + kMargin;
    const int halfWidth = std::max(0, (width - kMargin - left - kMargin) / 2);
    const int halfHeight = std::max(0, (height - 3 * kMargin) / 2);
    const PixelRect topLeft{left, kMargin, left + halfWidth, kMargin + halfHeight};
    const PixelRect topRight{topLeft.right + kMargin, kMargin, topLeft.right + kMargin + halfWidth, topLeft.bottom};
    const PixelRect bottomLeft{left, topLeft.bottom + kMargin, topLeft.right, topLeft.bottom + kMargin + halfHeight};
    const PixelRect bottomRight{topRight.left, bottomLeft.top, topRight.right, bottomLeft.bottom};
    Scatter(g, topLeft, tracker, measure);
    Stanford(g, topRight, tracker, measure);
    Cdf(g, bottomLeft, tracker, measure);
    Timeline(g, bottomRight, tracker, estimateName, measure);
    return g;
}
