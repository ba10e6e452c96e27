#include "kit/page_menus.h"

std::vector<int> PopupMenuCommands(int menuId)
{
    switch (menuId) {
    case kFrontPanelMenuId:
        return {kCmdClearSatelliteTrails, kCmdClearAzElMask};
    case kScatterPlotMenuId:
        return {kCmdCenterNextSample, kCmdCenterOnAverage, kCmdCenterUserPosition, kMenuSeparator, kCmdClearScatterPlot};
    case kMenuNmeaMonitorRx:
        return {kCmdClearReceiveScreen};
    case kMenuNmeaMonitorTx:
        return {kCmdClearTransmitScreen};
    default:
        return {};
    }
}
