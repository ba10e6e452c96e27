#include "displays/front_panel_geometry.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr const char* kLabelLines[] = {"Latitude:", "Longitude:",         "Altitude:",          "PDOP:",
                                       "HDOP:",     "VDOP:", "Satellites Tracked:", "Satellites in View:"};

constexpr int kDefaultBarCount = 12;

std::string Format(const char* format, double a, double b)
{
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, format, a, b);
    return buffer;
}

std::string Format(const char* format, double a)
{
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, format, a);
    return buffer;
}

}  // namespace

FrontPanelLayout FrontPanelLayoutFor(int width, int height)
{
    FrontPanelLayout layout;
    const int e = static_cast<int>(static_cast<double>(static_cast<long long>(width) * height) * 0.00001);
    layout.margin = e;
    layout.textBlock = {e, static_cast<int>(height / 3.0), e + width / 2, height - e};
    layout.skyPlot = {layout.textBlock.right + e, layout.textBlock.top, width - e, height - e};
    layout.signalStrip = {e, e, width - e, layout.textBlock.top - e};
    return layout;
}

std::vector<std::string> FrontPanelLabelLines()
{
    return {std::begin(kLabelLines), std::end(kLabelLines)};
}

std::vector<std::string> FrontPanelValueLines(const DisplaySnapshot& s)
{
    return {Format("%.5f", s.latitude),
            Format("%.5f", s.longitude),
            Format("%.3f M", s.altitude),
            Format("%.1f (%.1f)", s.gpsPdop, s.glonassPdop),
            Format("%.1f (%.1f)", s.gpsHdop, s.glonassHdop),
            Format("%.1f (%.1f)", s.gpsVdop, s.glonassVdop),
            std::to_string(s.satsInUse),
            std::to_string(s.satsInView)};
}

int TextBlockFontHeight(const PixelRect& textBlock)
{
    return textBlock.Width() / 20;
}

TextBlockColumns TextBlockColumnsFor(const PixelRect& textBlock, const std::vector<std::string>& labels,
                                     const TextMeasure& measure)
{
    TextBlockColumns columns;
    columns.labels = {textBlock.left + 5, textBlock.top, textBlock.right, textBlock.bottom};
    int widest = 0;
    for (const std::string& label : labels)
        widest = std::max(widest, measure(label).cx);
    columns.values = {columns.labels.left + widest + 5, textBlock.top, textBlock.right, textBlock.bottom};
    return columns;
}

SkySatellites SkySlotsFromSnapshot(const DisplaySnapshot& snapshot)
{
    SkySatellites slots{};
    for (std::size_t i = 0; i < slots.size(); ++i) {
        const SnapshotSatellite& s = snapshot.satellites[i];
        slots[i] = {s.prn, static_cast<double>(s.azimuth), static_cast<double>(s.elevation), s.used,
                    static_cast<double>(s.snr)};
    }
    return slots;
}

Rgb SignalBarColor(int prn, int used)
{
    if (prn > kLastSbasPrn && prn <= kLastGlonassPrn)
        return used == 1 ? Rgb{128, 0, 0} : Rgb{32, 0, 0};
    if (prn > kLastGpsPrn && prn <= kLastSbasPrn)
        return {0, 128, 0};
    return used == 1 ? Rgb{0, 0, 128} : Rgb{0, 0, 32};
}

int SignalStripFontHeight(const PixelRect& strip)
{
    return static_cast<int>(strip.Width() * 0.015);
}

SignalStrip LayoutSignalStrip(const PixelRect& strip, const DisplaySnapshot& snapshot, const TextMeasure& measure)
{
    SignalStrip result;
    const int fontH = SignalStripFontHeight(strip);
    result.fontHeight = fontH;

    // A count above the table's 96 records shows the 96 there are.
    const int n = snapshot.satsInView == 0 ? kDefaultBarCount : snapshot.UsableSatellites();
    const double slotWidth = n > 0 ? static_cast<double>(strip.Width()) / n : 0.0;
    const int framesBottom = strip.bottom - 5 - 3 * fontH;

    result.bars.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const SnapshotSatellite& s = snapshot.satellites[static_cast<std::size_t>(i)];
        SignalBar bar;
        const int left = strip.left + static_cast<int>(i * slotWidth);
        bar.frame = {left + 5, strip.top + 5, left + static_cast<int>(slotWidth) - 5, framesBottom};

        bar.level = std::clamp(s.snr, 0, kMaxSignalLevel);
        const double pixelsPerLevel = bar.frame.Height() / 55.0;
        const int fillTop = std::min(bar.frame.bottom - static_cast<int>(bar.level * pixelsPerLevel), bar.frame.bottom);
        bar.fill = {bar.frame.left, fillTop, bar.frame.right, bar.frame.bottom};
        bar.fillColor = SignalBarColor(s.prn, s.used);

        bar.snrText = std::to_string(s.snr);
        const TextExtent snrExtent = measure(bar.snrText);
        bar.snrShown = snrExtent.cy + fillTop < bar.frame.bottom;
        bar.snrBox = {bar.frame.left, fillTop, bar.frame.right, fillTop + snrExtent.cy};

        bar.prnText = std::to_string(s.prn);
        bar.prnBox = {bar.frame.left, bar.frame.bottom, bar.frame.right, strip.bottom};
        result.bars.push_back(std::move(bar));
    }

    // Legend: GPS always, WAAS and GLONASS once seen, each box placed past
    // the previous entry's text.
    PixelRect box{strip.left + fontH / 2, framesBottom + 2 * fontH, 0, 0};
    box.right = box.left + fontH;
    box.bottom = box.top + fontH;
    auto add = [&](Rgb color, const char* text) {
        result.legend.push_back({box, color, text, {box.right + 3, box.top}});
    };
    auto advance = [&] {
        const int shift = measure(result.legend.back().text).cx + 2 * fontH;
        box.left += shift;
        box.right += shift;
    };
    add({0, 0, 128}, "= GPS");
    if (snapshot.sbasSeen == 1) {
        advance();
        add({0, 128, 0}, "= WAAS");
    }
    if (snapshot.glonassSeen == 1) {
        advance();
        add({128, 0, 0}, "= GLONASS");
    }
    return result;
}
