#include "console/receiver_cfg_layout.h"

ReceiverCfgLayout ComputeReceiverCfgLayout(int width, int height, const ReceiverCfgGrid& grid)
{
    ReceiverCfgLayout layout;
    if (grid.columns <= 0 || grid.rows <= 0)
        return layout;
    layout.columnWidth = (width - grid.margin * (grid.columns + 1)) / grid.columns;
    layout.controlHeight =
        (height - grid.rows * (grid.labelHeight + 2 * grid.margin) - grid.margin) / grid.rows;

    int rowTop = grid.margin;
    for (int row = 0; row < grid.rows; ++row) {
        const int labelTop = rowTop;
        const int controlTop = labelTop + grid.labelHeight + grid.margin;
        for (int column = 0; column < grid.columns; ++column) {
            const int x = grid.margin + column * (layout.columnWidth + grid.margin);
            layout.cells.push_back({RectFromSize(x, labelTop, layout.columnWidth, grid.labelHeight),
                                    RectFromSize(x, controlTop, layout.columnWidth, layout.controlHeight)});
        }
        rowTop = controlTop + layout.controlHeight + grid.margin;
    }
    return layout;
}
