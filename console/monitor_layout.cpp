#include "console/monitor_layout.h"

MonitorLayout ComputeMonitorLayout(int width, int height, const MonitorTextMetrics& metrics)
{
    const PixelRect client{0, 0, width, height};
    MonitorLayout layout;

    layout.sendRow = client;
    layout.sendRow.bottom = client.top + 2 * metrics.lineHeight;
    const int rowHeight = layout.sendRow.Height();
    const int top = layout.sendRow.top;

    const int buttonWidth = 2 * metrics.sendWidth;
    layout.buttonSend =
        RectFromSize(client.right - buttonWidth - 3, top + 2, buttonWidth, rowHeight - 9);
    // The check box gets a fifth more than its caption so the box fits too.
    const int tickLeft = static_cast<int>(client.right - buttonWidth - 6 - 1.2 * metrics.checksumWidth);
    layout.checksumTick = RectFromSize(tickLeft, top + 2, (client.right - buttonWidth) - tickLeft - 6,
                                       rowHeight - 9);
    layout.comboSend = RectFromSize(client.left + 3, top + 3, tickLeft - client.left - 6, rowHeight - 3);

    layout.header = client;
    layout.header.top = layout.sendRow.bottom;
    layout.header.bottom = layout.header.top + metrics.captionLineHeight + 4;

    layout.middleX = client.left + (client.right - client.left) / 2;
    layout.editTx = {client.left, layout.header.bottom, layout.middleX, client.bottom};
    layout.editRx = {layout.middleX + 1, layout.header.bottom, client.right, client.bottom};

    const int quarter = layout.header.Width() / 4;
    layout.transmitCaptionX = layout.header.left + quarter;
    layout.receiveCaptionX = layout.header.right - quarter;
    layout.captionY = layout.header.top + 2;
    return layout;
}
