#pragma once

#include <array>
#include <string>
#include <vector>

#include "kit/pixel_geometry.h"
#include "displays/sky_plot_history.h"

// The square the sky disc is drawn in, fitted into the rectangle it is given,
// with the disc's radius and centre in floating point.
struct SkyPlotSquare {
    PixelRect square;
    double radius = 0.0;
    double centreX = 0.0;
    double centreY = 0.0;
};

SkyPlotSquare FitSkyPlotSquare(const PixelRect& rect);

// Whole-degree azimuth and elevation to a pixel: north up, azimuth clockwise,
// the zenith at the centre and the horizon on the circle.
PixelPoint AzElToPoint(const SkyPlotSquare& plot, int azimuth, int elevation);
// The same for degrees as stored, truncated toward zero first.
PixelPoint SkyPoint(const SkyPlotSquare& plot, double azimuth, double elevation);

// Pixel height of the compass letters' font.
int SkyPlotFontHeight(const SkyPlotSquare& plot);

struct SkyPlotLine {
    PixelPoint from;
    PixelPoint to;  // excluded, as a pen drawing up to a point leaves it
    bool operator==(const SkyPlotLine&) const = default;
};
std::array<SkyPlotLine, 2> SkyPlotCrossLines(const SkyPlotSquare& plot);

// Bounding box of the one elevation ring, at 45 degrees.
PixelRect FortyFiveDegreeRing(const SkyPlotSquare& plot);

struct CompassLetter {
    char letter = 'N';
    PixelRect box;  // the text is centred in it, both ways
    bool operator==(const CompassLetter&) const = default;
};
// N, E, S, W at elevation 2, each box placed on the disc's inner side.
std::array<CompassLetter, 4> CompassLetters(const SkyPlotSquare& plot, const TextMeasure& measure);

// The mask's points in azimuth order; entries still at 90 degrees are left out.
std::vector<PixelPoint> MaskPolygon(const SkyPlotSquare& plot, const AzElMask& mask);

struct SatelliteSymbol {
    PixelPoint point;
    bool used = false;
    // The picture's box when there is one, else the box of the filled dot.
    PixelRect symbol;
    bool picture = false;
    PixelRect label;  // the number, centred horizontally in it
    std::string text;
    bool operator==(const SatelliteSymbol&) const = default;
};
// Where a satellite's symbol and number go. pictureSize is the size of the
// picture drawn for the satellite's kind, or 0 x 0 to draw a dot.
SatelliteSymbol PlaceSatelliteSymbol(const SkyPlotSquare& plot, const SkySatellite& satellite,
                                     TextExtent pictureSize, const TextMeasure& measure);
