#pragma once

#include "kit/pixel_rect.h"

// Text measurements the monitor page's layout depends on, taken by the widget.
struct MonitorTextMetrics {
    int lineHeight = 0;         // line height of the page's own font
    int sendWidth = 0;          // width of "Send" in that font
    int checksumWidth = 0;      // width of "Automatic Checksum" in that font
    int captionLineHeight = 0;  // line height of the caption bar's font
};

// Where everything on the monitor page goes for a client area of
// width × height: the send row at the top (box, check box, button), the
// "Transmit"/"Receive" caption bar under it, and the two logs side by side
// below, one pixel apart at the middle.
struct MonitorLayout {
    PixelRect sendRow;
    PixelRect comboSend;
    PixelRect checksumTick;
    PixelRect buttonSend;
    PixelRect header;
    PixelRect editTx;
    PixelRect editRx;
    int middleX = 0;            // the divider between the logs
    int transmitCaptionX = 0;   // centre of "Transmit"
    int receiveCaptionX = 0;    // centre of "Receive"
    int captionY = 0;           // top of both captions

    bool operator==(const MonitorLayout&) const = default;
};

MonitorLayout ComputeMonitorLayout(int width, int height, const MonitorTextMetrics& metrics);
