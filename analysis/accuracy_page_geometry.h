#pragma once

#include <string>
#include <vector>

#include "analysis/accuracy_tracker.h"
#include "kit/pixel_geometry.h"

// Where the Accuracy page draws what, for a client of width x height and the
// tracker as it stands: the card of figures on the left; on the right the
// east/north scatter and the Stanford diagram above, the cumulative
// distribution of the horizontal error and the error over time below.
struct AccuracyPageGeometry {
    struct Text {
        PixelPoint at;  // top-left of the text
        std::string text;
        bool heading = false;
        bool boxed = false;  // on a box of the page's background, over the plot
        bool operator==(const Text&) const = default;
    };
    struct Circle {
        PixelPoint centre;
        int radius = 0;
        std::string label;
        PixelPoint labelAt;  // top-left of its name, left of the plot
        bool operator==(const Circle&) const = default;
    };
    struct Cell {
        PixelRect rect;
        double shade = 0.0;  // log(count) / log(largest count): 0 for one fix, 1 for the most
        bool operator==(const Cell&) const = default;
    };
    struct Segment {
        PixelPoint from, to;
        bool operator==(const Segment&) const = default;
    };

    static constexpr int kFontPixels = 12;
    static constexpr int kLineHeight = 15;

    PixelRect card;
    std::vector<Text> cardLines;
    std::vector<Text> labels;  // panel titles, scale labels, region names

    // Every plot is a square or rectangle of its own with a frame.
    PixelRect scatterPlot;
    double scatterHalfRange = 0.0;  // metres from the centre to the edge
    std::vector<PixelPoint> scatterDots;
    std::vector<Circle> circles;  // h50, h95, 2DRMS about the reference
    std::vector<Segment> biasCross;

    PixelRect cdfPlot;
    double cdfRange = 0.0;
    std::vector<PixelPoint> cdfLine;

    PixelRect stanfordPlot;
    double stanfordRange = 0.0;
    std::vector<Cell> stanfordCells;
    std::vector<Cell> stanfordLegend;  // the colour ramp from one fix to the most
    Segment diagonal;
    Segment alertLimitAcross;  // HErr = AL
    Segment alertLimitUp;      // HPL = AL

    PixelRect timelinePlot;
    double timelineRange = 0.0;
    std::vector<PixelRect> errorBars;
    std::vector<PixelRect> estimateBars;
    // A line across the time plot where the fix quality changed, with the
    // new quality's number at its top.
    struct QualityMark {
        int x = 0;
        int quality = 0;
        bool operator==(const QualityMark&) const = default;
    };
    std::vector<QualityMark> qualityMarks;

    bool operator==(const AccuracyPageGeometry&) const = default;
};

// The smallest 1, 2 or 5 times a power of ten at or above `value` (1 for
// nothing worth scaling).
double NiceCeiling(double value);

// `estimateName` names the receiver's own estimate beside the error ("HFOM",
// or "GST sigma" when the receiver sends GST). With `exact` (the tracker's
// ExactReport, as an exported report shows it) the card shows its figures;
// without, the live figures, whose percentiles come from the histograms and
// are marked "≈".
// `measure` sizes the texts (the page's font); without one, a width of
// kFontPixels * 0.6 a character stands in.
AccuracyPageGeometry ComputeAccuracyPageGeometry(int width, int height, const AccuracyTracker& tracker,
                                                 const std::string& estimateName,
                                                 const AccuracyReport* exact = nullptr,
                                                 const TextMeasure& measure = {});

// How the card names the reference, with the word of the JSON report's
// "source": "truth" (the user position) or "mean" (of the counted fixes).
std::string ReferenceSourceText(bool truth);
