#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "kit/command_ids.h"
#include "kit/pixel_geometry.h"
#include "displays/scatter_plot_model.h"

// Micro-degrees to pixels for one paint: the plot square is the largest
// square centred in the client area, and the latitude scale follows from the
// longitude scale so a pixel covers the same metres both ways.
struct PlotMapping {
    double xScale = 0.0;  // pixels per micro-degree of longitude
    double yScale = 0.0;  // pixels per micro-degree of latitude
    GeoBounds bounds;
    int width = 0;
    int height = 0;
    int squareLeft = 0;
    int squareTop = 0;

    // A zero longitude span (no range, or a centre on a pole) leaves nothing
    // that can be mapped back.
    bool CanMap() const { return xScale > 0.0 && yScale > 0.0; }
};

PlotMapping ComputeMapping(const GeoBounds& bounds, int width, int height);

PixelPoint MapToPixel(const PlotMapping& mapping, const ScatterPlotPosition& position);
// The position under a pixel; empty when the mapping cannot be inverted.
std::optional<ScatterPlotPosition> PixelToPosition(const PlotMapping& mapping, int x, int y);

inline constexpr std::array<double, 12> kRangeRingMetres = {1, 5, 10, 15, 25, 50, 100, 500, 1000, 2500, 5000, 10000};

struct RangeRing {
    double metres = 0.0;
    int diameter = 0;
    PixelRect box;
    bool drawn = false;     // big enough, and not starting far off the page
    bool labelled = false;  // drawn and taller than two lines of text
    std::string label;      // centred horizontally at the top of the box
    bool operator==(const RangeRing&) const = default;
};

// The rings around the window centre. Rings whose geodesic does not settle
// are left out, and all of them when the mapping cannot be inverted.
std::vector<RangeRing> RangeRings(const PlotMapping& mapping, int textHeight);

int ScatterPlotFontHeight(int width, int height);

// The two lines at the top-left corner: the latest sample's distance from
// the centre, and the number of samples.
std::string ScatterPlotStatusText(const ScatterPlotPosition& center, const ScatterPlotPosition& lastSample,
                                  std::size_t sampleCount);

PixelRect ZoomInButtonRect(int width);
PixelRect ZoomOutButtonRect(int width);
// The zoom command of the button under (x, y), or 0.
int ZoomButtonAt(int width, int x, int y);

// The 3 x 3 square of a sample, and the 21-pixel circles drawn around the
// latest sample and the average position.
PixelRect SampleSquare(PixelPoint p);
PixelRect MarkerCircle(PixelPoint p);
