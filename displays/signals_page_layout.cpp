#include "displays/signals_page_layout.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <limits>
#include <numeric>

namespace {

constexpr int kMargin = 6;
constexpr int kGroupGap = 8;
constexpr int kMaxSlot = 40;
constexpr int kChipPadding = 8;
constexpr int kCellPadding = 6;

constexpr std::array<Rgb, kGnssSystemCount> kSystemColors = {{
    {38, 132, 222},   // GPS
    {150, 150, 150},  // SBAS
    {220, 96, 24},    // GLONASS
    {0, 166, 120},    // Galileo
    {236, 166, 0},    // BeiDou
    {206, 110, 170},  // QZSS
    {96, 186, 236},   // NavIC
    {168, 128, 88},   // unknown
}};

std::string Format(const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string Optional(const char* format, const std::optional<double>& value)
{
    return value ? Format(format, *value) : std::string("-");
}

PixelRect Box(int left, int top, TextExtent size) { return {left, top, left + size.cx, top + size.cy}; }

// Text centred horizontally over [left, right) at `top`.
SignalsText Centred(const std::string& text, int left, int right, int top, const TextMeasure& measure)
{
    const TextExtent size = measure(text);
    const int x = left + (right - left - size.cx) / 2;
    return {Box(x, top, size), text};
}

bool IsSuspect(const GnssSnapshot& gnss, GnssSystem system, int number)
{
    return gnss.gbs && gnss.gbs->suspect && gnss.gbs->suspect->system == system && gnss.gbs->suspect->number == number;
}

std::string SignalText(const GnssSignalView& s)
{
    const std::string name(SignalName(s.system, s.signal));
    if (!name.empty())
        return name;
    return s.signal != 0 ? "signal " + std::to_string(s.signal) : std::string();
}

bool Overlaps(const PixelRect& a, const PixelRect& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// Every `stride`-th of `count` items, the stride the smallest that keeps
// labels `width` wide apart when items are `pitch` apart: the same share of
// every system keeps its label, where dropping what does not fit would lose
// the systems with the longer numbers.
int LabelStride(int width, int pitch) { return pitch > 0 ? std::max(1, (width + 3 + pitch - 1) / pitch) : 1; }

void LayoutChips(SignalsPageLayout& out, const PixelRect& client, const SignalsFilter& filter, int lineHeight,
                 const TextMeasure& measure, int& y)
{
    int x = client.left + kMargin;
    const auto caption = [&](const char* text) {
        const TextExtent size = measure(text);
        if (x + size.cx > client.right - kMargin && x > client.left + kMargin) {
            x = client.left + kMargin;
            y += lineHeight + 2;
        }
        out.filterCaptions.push_back({{x, y, x + size.cx, y + lineHeight}, text});
        x += size.cx + kChipPadding;
    };
    const auto chip = [&](std::string text, bool on, bool system, int index) {
        const int width = measure(text).cx + 2 * kChipPadding;
        if (x + width > client.right - kMargin && x > client.left + kMargin) {
            x = client.left + kMargin;
            y += lineHeight + 2;
        }
        out.chips.push_back({{x, y, x + width, y + lineHeight}, std::move(text), on, system, index});
        x += width + 4;
    };
    caption("Systems:");
    for (int s = 0; s < kGnssSystemCount; ++s)
        chip(std::string(SystemName(static_cast<GnssSystem>(s))), filter.systems[static_cast<size_t>(s)], true, s);
    x += 2 * kChipPadding;
    caption("Bands:");
    for (int b = 0; b < kGnssBandCount; ++b)
        chip(std::string(BandName(static_cast<GnssBand>(b))), filter.bands[static_cast<size_t>(b)], false, b);
    y += lineHeight + kMargin;
}

void LayoutBars(SignalsPageLayout& out, const std::vector<const GnssSignalView*>& shown, const GnssSnapshot& gnss,
                const PixelRect& area, int lineHeight, const TextMeasure& measure)
{
    const int scaleWidth = measure("60").cx + 4;
    const int left = area.left + scaleWidth;
    // Two label rows under the bars (number, signal) and the group names.
    const int barsBottom = area.bottom - 3 * lineHeight;
    out.barArea = {left, area.top, area.right, std::max(area.top, barsBottom)};
    const int height = out.barArea.Height();
    for (int db = 0; db <= kBarScaleTop; db += 10) {
        const int y = out.barArea.bottom - height * db / kBarScaleTop;
        const std::string text = std::to_string(db);
        const TextExtent size = measure(text);
        out.scale.push_back({y, {Box(left - 3 - size.cx, y - size.cy / 2, size), text}});
    }
    if (shown.empty())
        return;

    int groups = 1;
    for (size_t i = 1; i < shown.size(); ++i)
        groups += shown[i]->system != shown[i - 1]->system ? 1 : 0;
    const int free = out.barArea.Width() - (groups - 1) * kGroupGap;
    const int slot = std::clamp(free / static_cast<int>(shown.size()), 1, kMaxSlot);
    const int gap = slot >= 4 ? std::max(1, slot / 6) : 0;

    int x = left;
    size_t groupStart = 0;
    int groupLeft = x;
    for (size_t i = 0; i < shown.size(); ++i) {
        const GnssSignalView& s = *shown[i];
        if (i > 0 && s.system != shown[i - 1]->system) {
            out.groups.push_back({Centred(std::string(SystemName(shown[groupStart]->system)), groupLeft, x,
                                          barsBottom + 2 * lineHeight, measure),
                                  shown[groupStart]->system});
            x += kGroupGap;
            groupStart = i;
            groupLeft = x;
        }
        SignalsBar bar;
        bar.system = s.system;
        bar.used = s.used;
        bar.suspect = IsSuspect(gnss, s.system, s.number);
        if (i > 0 && shown[i - 1]->system == s.system && shown[i - 1]->number == s.number)
            bar.band = out.bars.back().band + 1;
        bar.slot = {x, out.barArea.top, x + slot - gap, out.barArea.bottom};
        if (s.cnr && *s.cnr > 0) {
            const int top = out.barArea.bottom - height * std::min(*s.cnr, kBarScaleTop) / kBarScaleTop;
            bar.bar = {bar.slot.left, top, bar.slot.right, bar.slot.bottom};
        } else {
            bar.bar = {bar.slot.left, bar.slot.bottom, bar.slot.right, bar.slot.bottom};
        }
        bar.tip = SignalTip(s);
        out.bars.push_back(std::move(bar));
        x += slot;
    }
    out.groups.push_back({Centred(std::string(SystemName(shown[groupStart]->system)), groupLeft, x,
                                  barsBottom + 2 * lineHeight, measure),
                          shown[groupStart]->system});

    // Numbers, one per satellite over its bars, and signal names, one per
    // bar, each thinned by one stride for the whole row.
    struct Satellite {
        size_t first = 0, last = 0;  // bars
    };
    std::vector<Satellite> satellites;
    int widestNumber = 0, widestSignal = 0;
    for (size_t i = 0; i < shown.size(); ++i) {
        if (out.bars[i].band == 0)
            satellites.push_back({i, i});
        else
            satellites.back().last = i;
        widestNumber = std::max(widestNumber, measure(std::to_string(shown[i]->number)).cx);
        widestSignal = std::max(widestSignal, measure(SignalText(*shown[i])).cx);
    }
    const int numberStride = LabelStride(widestNumber, slot * static_cast<int>(shown.size()) / static_cast<int>(satellites.size()));
    int lastRight = std::numeric_limits<int>::min();
    for (size_t k = 0; k < satellites.size(); k += static_cast<size_t>(numberStride)) {
        const Satellite& sat = satellites[k];
        SignalsText label = Centred(std::to_string(shown[sat.first]->number), out.bars[sat.first].slot.left,
                                    out.bars[sat.last].slot.right, barsBottom + 1, measure);
        if (label.box.left < lastRight + 3)
            continue;  // a group gap shifted the pitch: keep the air
        lastRight = label.box.right;
        out.bars[sat.first].number = std::move(label);
    }
    const int signalStride = LabelStride(widestSignal, slot);
    lastRight = std::numeric_limits<int>::min();
    for (size_t i = 0; i < shown.size(); i += static_cast<size_t>(signalStride)) {
        const std::string name = SignalText(*shown[i]);
        if (name.empty())
            continue;
        SignalsText label = Centred(name, out.bars[i].slot.left, out.bars[i].slot.right, barsBottom + lineHeight, measure);
        if (label.box.left < lastRight + 3)
            continue;
        lastRight = label.box.right;
        out.bars[i].signal = std::move(label);
    }
}

void LayoutSky(SignalsPageLayout& out, const std::vector<const GnssSignalView*>& shown, const GnssSnapshot& gnss,
               const SignalsFilter& filter, const SignalTrails& trails, double now, const PixelRect& square,
               const TextMeasure& measure)
{
    out.sky = FitSkyPlotSquare(square);
    const auto& plot = out.sky;
    for (const auto& [id, trail] : trails.Trails()) {
        if (!filter.systems[static_cast<size_t>(SystemIndex(id.system))])
            continue;
        for (size_t i = 1; i < trail.size(); ++i) {
            if (trail[i].gapBefore)
                continue;
            const double age = std::clamp((now - trail[i].time) / SignalTrails::kWindowSeconds, 0.0, 1.0);
            const int fade = std::min(kTrailFadeSteps - 1, static_cast<int>(age * kTrailFadeSteps));
            out.trails.push_back({AzElToPoint(plot, trail[i - 1].azimuth, trail[i - 1].elevation),
                                  AzElToPoint(plot, trail[i].azimuth, trail[i].elevation), id.system, fade});
        }
    }
    // One mark per satellite, used when any of its shown signals is; the
    // signals come sorted, so a satellite's signals are neighbours.
    std::optional<GnssSatelliteId> last;
    for (const GnssSignalView* signal : shown) {
        const GnssSignalView& s = *signal;
        if (!s.azimuth || !s.elevation)
            continue;
        if (last && last->system == s.system && last->number == s.number) {
            out.marks.back().used = out.marks.back().used || s.used;
            out.marks.back().tip += "\n" + SignalTip(s);
            continue;
        }
        last = GnssSatelliteId{s.system, s.number};
        SignalsSkyMark mark;
        mark.system = s.system;
        mark.used = s.used;
        mark.suspect = IsSuspect(gnss, s.system, s.number);
        mark.point = AzElToPoint(plot, *s.azimuth, *s.elevation);
        mark.symbol = {mark.point.x - 4, mark.point.y - 4, mark.point.x + 5, mark.point.y + 5};
        mark.tip = SignalTip(s);
        const std::string text = std::string(1, SystemLetter(s.system)) + std::to_string(s.number);
        const TextExtent size = measure(text);
        mark.label = {Box(mark.point.x + 6, mark.point.y - size.cy / 2, size), text};
        out.marks.push_back(std::move(mark));
    }
    for (const CompassLetter& letter : CompassLetters(plot, measure))
        out.compass.push_back({letter.box, std::string(1, letter.letter)});

    // Labels right of their mark, else left, above or below; one that would
    // cover another label, a mark or a compass letter is left out (its
    // tooltip still names it).
    std::vector<PixelRect> taken;
    for (const SignalsSkyMark& mark : out.marks)
        taken.push_back(mark.symbol);
    for (const SignalsText& letter : out.compass)
        taken.push_back(letter.box);
    for (SignalsSkyMark& mark : out.marks) {
        const int w = mark.label.box.Width(), h = mark.label.box.Height();
        const PixelPoint p = mark.point;
        const PixelRect candidates[] = {
            {p.x + 6, p.y - h / 2, p.x + 6 + w, p.y - h / 2 + h},
            {p.x - 6 - w, p.y - h / 2, p.x - 6, p.y - h / 2 + h},
            {p.x - w / 2, p.y - 5 - h, p.x - w / 2 + w, p.y - 5},
            {p.x - w / 2, p.y + 6, p.x - w / 2 + w, p.y + 6 + h},
        };
        mark.labelled = false;
        for (const PixelRect& box : candidates) {
            const bool free = std::none_of(taken.begin(), taken.end(), [&](const PixelRect& t) {
                return Overlaps(t, box) && !(t == mark.symbol);
            });
            if (free) {
                mark.label.box = box;
                mark.labelled = true;
                taken.push_back(box);
                break;
            }
        }
    }
}

void LayoutTable(SignalsPageLayout& out, const std::vector<SystemSummary>& summaries, int left, int& y, int lineHeight,
                 const TextMeasure& measure)
{
    const std::array<std::string, 5> headers = {"System", "In view", "Used", "Mean C/N0", "Top 4 C/N0"};
    std::vector<std::array<std::string, 5>> rows;
    for (const SystemSummary& s : summaries)
        rows.push_back({std::string(SystemName(s.system)), std::to_string(s.inView), std::to_string(s.used),
                        Optional("%.1f", s.meanCnr), Optional("%.1f", s.meanTop4Cnr)});
    std::array<int, 5> widths{};
    for (size_t c = 0; c < widths.size(); ++c) {
        widths[c] = measure(headers[c]).cx;
        for (const auto& row : rows)
            widths[c] = std::max(widths[c], measure(row[c]).cx);
        widths[c] += 2 * kCellPadding;
    }
    const auto addRow = [&](const std::array<std::string, 5>& texts, bool header, std::optional<GnssSystem> system) {
        int x = left;
        for (size_t c = 0; c < texts.size(); ++c) {
            out.table.push_back({{x, y, x + widths[c], y + lineHeight}, texts[c], header, c > 0,
                                 c == 0 ? system : std::nullopt});
            x += widths[c];
        }
        y += lineHeight;
    };
    addRow(headers, true, std::nullopt);
    for (size_t r = 0; r < rows.size(); ++r)
        addRow(rows[r], false, summaries[r].system);
    y += lineHeight / 2;
}

std::vector<std::pair<std::string, bool>> InfoTexts(const GnssSnapshot& gnss)
{
    std::vector<std::pair<std::string, bool>> lines;
    std::string when = "Date ";
    if (gnss.date) {
        char text[32];
        std::snprintf(text, sizeof text, "%04d-%02d-%02d", gnss.date->year, gnss.date->month, gnss.date->day);
        when += text;
    } else {
        when += "-";
    }
    when += "   Time " + (gnss.time.empty() ? std::string("-") : gnss.time + " UTC");
    if (gnss.zoneHours) {
        char text[32];
        // The receiver's numbers may be anything: keep them to a zone's range.
        std::snprintf(text, sizeof text, "   Zone %+03d:%02d", std::clamp(*gnss.zoneHours, -99, 99),
                      std::clamp(gnss.zoneMinutes.value_or(0), -59, 59) * (gnss.zoneMinutes.value_or(0) < 0 ? -1 : 1));
        when += text;
    }
    if (gnss.rmcStatus != 0)
        when += std::string("   RMC ") + (gnss.rmcStatus == 'A' ? "valid" : "not valid");
    lines.emplace_back(when, false);

    std::string modes = "GNS modes:";
    if (gnss.gns) {
        static constexpr GnssSystem kOrder[] = {GnssSystem::GPS,    GnssSystem::GLONASS, GnssSystem::Galileo,
                                                GnssSystem::BeiDou, GnssSystem::QZSS,    GnssSystem::NavIC};
        for (size_t i = 0; i < gnss.gns->modes.size() && i < std::size(kOrder); ++i)
            modes += " " + std::string(SystemName(kOrder[i])) + " " + gnss.gns->modes[i];
        if (gnss.gns->satsUsed)
            modes += "   used " + std::to_string(*gnss.gns->satsUsed);
        if (gnss.gns->hdop)
            modes += "   HDOP " + Format("%.2f", *gnss.gns->hdop);
    } else {
        modes += " -";
    }
    lines.emplace_back(modes, false);

    if (gnss.gst) {
        const GstFields& g = *gnss.gst;
        lines.emplace_back("GST \xcf\x83 lat " + Optional("%.3f", g.sigmaLat) + " m   lon " + Optional("%.3f", g.sigmaLon)
                               + " m   alt " + Optional("%.3f", g.sigmaAlt) + " m",
                           false);
        lines.emplace_back("GST RMS " + Optional("%.3f", g.rms) + "   ellipse " + Optional("%.3f", g.major) + " x "
                               + Optional("%.3f", g.minor) + " m at " + Optional("%.1f", g.orientation) + "\xc2\xb0",
                           false);
    } else {
        lines.emplace_back("GST -", false);
    }

    if (gnss.gbs) {
        const GnssIntegrity& b = *gnss.gbs;
        lines.emplace_back("GBS expected error lat " + Optional("%.2f", b.errLat) + " m   lon " + Optional("%.2f", b.errLon)
                               + " m   alt " + Optional("%.2f", b.errAlt) + " m",
                           false);
        if (b.suspect)
            lines.emplace_back("GBS suspect " + std::string(SystemName(b.suspect->system)) + " "
                                   + std::to_string(b.suspect->number) + "   p " + Optional("%.3f", b.probability)
                                   + "   bias " + Optional("%.2f", b.bias) + " m   \xcf\x83 " + Optional("%.2f", b.sigma)
                                   + " m",
                               true);
        else
            lines.emplace_back("GBS no suspect satellite", false);
    } else {
        lines.emplace_back("GBS -", false);
    }
    return lines;
}

}  // namespace

Rgb SystemColor(GnssSystem system)
{
    const auto i = static_cast<size_t>(SystemIndex(system));
    return i < kSystemColors.size() ? kSystemColors[i] : kSystemColors.back();
}

char SystemLetter(GnssSystem system)
{
    static constexpr char kLetters[] = "GSRECJI?";
    const auto i = static_cast<size_t>(SystemIndex(system));
    return i < 8 ? kLetters[i] : '?';
}

bool SignalsFilter::Shows(const GnssSignalView& signal) const
{
    const auto system = static_cast<size_t>(SystemIndex(signal.system));
    const auto band = static_cast<size_t>(BandOf(signal.system, signal.signal));
    return system < systems.size() && systems[system] && band < bands.size() && bands[band];
}

std::vector<SystemSummary> SummariseSystems(const std::vector<GnssSignalView>& views, const SignalsFilter& filter)
{
    std::vector<SystemSummary> out;
    std::vector<int> cnrs;
    int lastNumber = -1;
    bool lastUsed = false;
    const auto finish = [&] {
        if (out.empty() || cnrs.empty())
            return;
        std::sort(cnrs.begin(), cnrs.end(), std::greater<>());
        out.back().meanCnr = std::accumulate(cnrs.begin(), cnrs.end(), 0.0) / static_cast<double>(cnrs.size());
        const size_t top = std::min<size_t>(4, cnrs.size());
        out.back().meanTop4Cnr = std::accumulate(cnrs.begin(), cnrs.begin() + static_cast<long>(top), 0.0)
                                 / static_cast<double>(top);
        cnrs.clear();
    };
    for (const GnssSignalView& s : views) {
        if (!filter.Shows(s))
            continue;
        if (out.empty() || out.back().system != s.system) {
            finish();
            SystemSummary summary;
            summary.system = s.system;
            out.push_back(summary);
            lastNumber = -1;
        }
        SystemSummary& summary = out.back();
        if (s.number != lastNumber) {
            ++summary.inView;
            lastNumber = s.number;
            lastUsed = false;
        }
        if (s.used && !lastUsed) {
            ++summary.used;
            lastUsed = true;
        }
        if (s.cnr)
            cnrs.push_back(*s.cnr);
    }
    finish();
    return out;
}

SignalsPageLayout LayoutSignalsPage(const PixelRect& client, const GnssSnapshot& gnss, const SignalsFilter& filter,
                                    const SignalTrails& trails, double now, const TextMeasure& measure)
{
    SignalsPageLayout out;
    if (client.IsEmpty())
        return out;
    const int lineHeight = measure("Ag").cy + 4;
    int y = client.top + kMargin;
    LayoutChips(out, client, filter, lineHeight, measure, y);

    std::vector<const GnssSignalView*> shown;
    for (const GnssSignalView& s : gnss.satellites)
        if (filter.Shows(s))
            shown.push_back(&s);

    // The legend: the systems on show, and what solid and pale bars mean.
    int x = client.left + kMargin;
    for (const GnssSignalView* s : shown) {
        if (!out.legend.empty() && out.legend.back().system == s->system)
            continue;
        const std::string name(SystemName(s->system));
        const TextExtent size = measure(name);
        SignalsLegendEntry entry;
        entry.system = s->system;
        entry.swatch = {x, y + (lineHeight - 10) / 2, x + 10, y + (lineHeight - 10) / 2 + 10};
        entry.label = {Box(x + 14, y + (lineHeight - size.cy) / 2, size), name};
        out.legend.push_back(entry);
        x += 14 + size.cx + 12;
    }
    y += lineHeight + kMargin / 2;

    const int barBottom = y + std::max(0, (client.bottom - y) * 45 / 100);
    LayoutBars(out, shown, gnss, {client.left + kMargin, y, client.right - kMargin, barBottom}, lineHeight, measure);

    const int lowerTop = barBottom + kMargin;
    const int lowerHeight = std::max(0, client.bottom - kMargin - lowerTop);
    const int skySide = std::min(lowerHeight, client.Width() * 45 / 100);
    LayoutSky(out, shown, gnss, filter, trails, now,
              {client.left + kMargin, lowerTop, client.left + kMargin + skySide, lowerTop + skySide}, measure);

    const int right = client.left + kMargin + skySide + 3 * kMargin;
    int tableY = lowerTop;
    LayoutTable(out, SummariseSystems(gnss.satellites, filter), right, tableY, lineHeight, measure);
    int infoRight = right;
    for (auto& [text, highlight] : InfoTexts(gnss)) {
        const TextExtent size = measure(text);
        out.info.push_back({{Box(right, tableY, {size.cx, lineHeight}), text}, highlight});
        infoRight = std::max(infoRight, right + size.cx);
        tableY += lineHeight;
    }
    // The satellite table: beside the figures where the page is wide, else
    // under them.
    const int besideLeft = std::max(infoRight, out.table.empty() ? right : out.table.back().box.right) + 3 * kMargin;
    const PixelRect beside{besideLeft, lowerTop, client.right - kMargin, client.bottom - kMargin};
    const PixelRect below{right, tableY + kMargin, client.right - kMargin, client.bottom - kMargin};
    const int minimumWidth = measure("Galileo  000  L1 C/A  90  360  60  used").cx + 60;
    if (beside.Width() >= minimumWidth && beside.Height() >= 4 * lineHeight)
        out.satelliteTable = beside;
    else if (below.Width() >= minimumWidth / 2 && below.Height() >= 4 * lineHeight)
        out.satelliteTable = below;
    return out;
}

std::vector<SatelliteRow> SatelliteRows(const GnssSnapshot& gnss, const SignalsFilter& filter)
{
    std::vector<SatelliteRow> rows;
    for (const GnssSignalView& s : gnss.satellites)
        if (filter.Shows(s))
            rows.push_back({s.system, s.number, SignalText(s), s.elevation, s.azimuth, s.cnr, s.used});
    return rows;
}

std::string SignalTip(const GnssSignalView& s)
{
    std::string tip = std::string(SystemName(s.system)) + " " + std::to_string(s.number);
    const std::string signal = SignalText(s);
    if (!signal.empty())
        tip += " " + signal;
    const auto value = [](const std::optional<int>& v, const char* unit) {
        return v ? std::to_string(*v) + unit : std::string("-");
    };
    tip += ": elevation " + value(s.elevation, "\xc2\xb0") + ", azimuth " + value(s.azimuth, "\xc2\xb0") + ", C/N0 "
        + value(s.cnr, " dB-Hz") + (s.used ? ", used" : ", not used");
    return tip;
}

std::string TipAt(const SignalsPageLayout& layout, int x, int y)
{
    for (const SignalsSkyMark& mark : layout.marks)
        if (PixelRect{mark.symbol.left - 2, mark.symbol.top - 2, mark.symbol.right + 2, mark.symbol.bottom + 2}.Contains(x, y))
            return mark.tip;
    for (const SignalsBar& bar : layout.bars)
        if (bar.slot.Contains(x, y) || (bar.number && bar.number->box.Contains(x, y))
            || (bar.signal && bar.signal->box.Contains(x, y)))
            return bar.tip;
    return {};
}

const SignalsChip* ChipAt(const SignalsPageLayout& layout, int x, int y)
{
    for (const SignalsChip& chip : layout.chips)
        if (chip.box.Contains(x, y))
            return &chip;
    return nullptr;
}
