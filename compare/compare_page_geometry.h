#pragma once

#include <string>
#include <vector>

#include "compare/compare_feed.h"
#include "kit/pixel_geometry.h"

// Where the Compare page draws what, for a client of width x height below
// the reference chooser's row: on the left the horizontal error over time,
// its cumulative distribution and an east/north scatter per receiver; on
// the right the table of figures side by side and the C/N0 difference of
// two receivers per satellite and signal. Receivers are numbered in the
// order of CompareFeed::UnderTest; each is drawn in its own colour.
struct ComparePageGeometry {
    struct Text {
        PixelPoint at;  // top-left of the text
        std::string text;
        int receiver = -1;  // drawn in that receiver's colour; -1: the page's text colour
        bool heading = false;
        bool operator==(const Text&) const = default;
    };
    struct Line {
        int receiver = 0;
        std::vector<PixelPoint> points;
        bool operator==(const Line&) const = default;
    };
    struct Dots {
        int receiver = 0;
        std::vector<PixelPoint> points;
        bool operator==(const Dots&) const = default;
    };
    struct Bar {
        PixelRect rect;
        bool positive = true;
        bool operator==(const Bar&) const = default;
    };

    static constexpr int kChooserHeight = 30;
    static constexpr int kFontPixels = 12;
    static constexpr int kLineHeight = 15;

    PixelRect timePlot, cdfPlot, table, signalPlot;
    std::vector<PixelRect> scatterPlots;  // one per receiver
    double timeRange = 0.0;     // metres at the top of the time plot
    double cdfRange = 0.0;      // metres at the right of the distribution
    double scatterHalfRange = 0.0;
    double signalRange = 0.0;   // dB-Hz from the middle line to the edge
    std::vector<Line> timeLines;
    std::vector<Line> cdfLines;
    std::vector<Dots> scatterDots;
    std::vector<PixelRect> scatterCrosses;  // a one-pixel line each, across and up the centre
    std::vector<Bar> signalBars;
    PixelRect signalZero;  // the line of no difference
    std::vector<Text> texts;

    bool operator==(const ComparePageGeometry&) const = default;
};

// The figures as the table shows them: row labels and a column of texts
// per receiver; below the common rows, the fixes, availability and h95 of
// each fix quality any receiver had.
struct CompareTable {
    std::vector<std::string> labels;
    std::vector<std::vector<std::string>> columns;
    bool operator==(const CompareTable&) const = default;
};
CompareTable MakeCompareTable(const std::vector<ReceiverComparison>& receivers);

ComparePageGeometry ComputeComparePageGeometry(int width, int height, const CompareFeed& feed);
