#pragma once

#include <cstddef>
#include <vector>

#include "kit/pixel_rect.h"

// The configuration page is a grid of cells, each a caption over a control.
struct ReceiverCfgCell {
    PixelRect label;
    PixelRect control;
    bool operator==(const ReceiverCfgCell&) const = default;
};

struct ReceiverCfgGrid {
    int columns = 3;
    int rows = 2;
    int margin = 5;
    int labelHeight = 20;
};

struct ReceiverCfgLayout {
    int columnWidth = 0;
    int controlHeight = 0;
    std::vector<ReceiverCfgCell> cells;  // row by row, left to right

    const ReceiverCfgCell& Cell(int row, int column, int columns) const
    {
        return cells[static_cast<std::size_t>(row * columns + column)];
    }
};

// Integer arithmetic throughout; a client area too small for the margins gives
// zero or negative sizes, which the widget treats as empty.
ReceiverCfgLayout ComputeReceiverCfgLayout(int width, int height, const ReceiverCfgGrid& grid);
