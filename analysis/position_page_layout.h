#pragma once

#include <array>
#include <string>

#include "analysis/plot_geometry.h"
#include "analysis/position_statistics.h"

// Where the position plot page puts its parts in a client area of
// width x height: the text block on the left third, the four plots stacked
// on the right, all inset by a margin that grows with the client's area.
struct PositionPageLayout {
    int margin = 0;
    PlotRect textBox;
    PlotRect plotsArea;
    // Latitude, longitude, altitude and horizontals, top to bottom.
    std::array<PlotRect, 4> plots;
    int textFontPixels = 0;

    bool operator==(const PositionPageLayout&) const = default;
};

PositionPageLayout ComputePositionPageLayout(int width, int height);

// The text block: a label column and a value column, one line each.
inline constexpr const char* kPositionLabelText =
    "Latitude:\nLongitude:\nAltitude:\n\nLSF Latitude:\nLSF Longitude:\nLSF Altitude:\n\n"
    "AVG Latitude:\nAVG Longitude:\nAVG Altitude:\n\nSamples:\n\n"
    "HPL:\nHFOM:\nHErr:\nAverage HErr:\nHPL Violations:\n";

std::string FormatPositionValues(const PositionTextValues& values);
