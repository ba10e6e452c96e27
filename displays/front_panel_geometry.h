#pragma once

#include <string>
#include <vector>

#include "kit/page_look.h"
#include "kit/pixel_geometry.h"
#include "displays/sky_plot_history.h"
#include "nmea/display_snapshot.h"

// Where the front panel's three parts go in a client area of width x height:
// the signal strip across the top third, the text block at the lower left
// and the sky plot at the lower right.
struct FrontPanelLayout {
    int margin = 0;
    PixelRect textBlock;
    PixelRect skyPlot;
    PixelRect signalStrip;
    bool operator==(const FrontPanelLayout&) const = default;
};
FrontPanelLayout FrontPanelLayoutFor(int width, int height);

// Every panel of the page has rounded corners of this ellipse size.
inline constexpr int kPanelCornerSize = 20;

// The text block: eight labels, and beside them the values, line for line.
std::vector<std::string> FrontPanelLabelLines();
std::vector<std::string> FrontPanelValueLines(const DisplaySnapshot& snapshot);
int TextBlockFontHeight(const PixelRect& textBlock);

struct TextBlockColumns {
    PixelRect labels;
    PixelRect values;  // starts 5 pixels right of the widest label
    bool operator==(const TextBlockColumns&) const = default;
};
TextBlockColumns TextBlockColumnsFor(const PixelRect& textBlock, const std::vector<std::string>& labels,
                                     const TextMeasure& measure);

// The sky plot's 64 slots from the first 64 records of the snapshot.
SkySatellites SkySlotsFromSnapshot(const DisplaySnapshot& snapshot);

inline constexpr int kMaxSignalLevel = 55;

// Bar colour by constellation and use.
Rgb SignalBarColor(int prn, int used);

struct SignalBar {
    PixelRect frame;  // outlined, page background inside
    PixelRect fill;   // from the level up to the frame's bottom; empty at level 0
    Rgb fillColor;
    int level = 0;          // SNR clamped to 0..55
    std::string snrText;    // the SNR as received
    bool snrShown = false;  // only where the filled part is taller than the text
    PixelRect snrBox;       // centred horizontally, at the top of the fill
    std::string prnText;
    PixelRect prnBox;  // just under the frame, centred horizontally, top-aligned
    bool operator==(const SignalBar&) const = default;
};

struct LegendEntry {
    PixelRect box;
    Rgb color;
    std::string text;
    PixelPoint textAt;  // top-left of the text
    bool operator==(const LegendEntry&) const = default;
};

struct SignalStrip {
    int fontHeight = 0;
    std::vector<SignalBar> bars;
    std::vector<LegendEntry> legend;
};

int SignalStripFontHeight(const PixelRect& strip);
// One bar per satellite in view (12 when none is), never more than the
// snapshot's table holds, and the legend below them.
SignalStrip LayoutSignalStrip(const PixelRect& strip, const DisplaySnapshot& snapshot, const TextMeasure& measure);
