#pragma once

#include <vector>

// Command ids of the pages' context menus; the main window handles them.
inline constexpr int kCmdClearPlot = 32796;
inline constexpr int kCmdClearSatelliteTrails = 32809;
inline constexpr int kCmdClearAzElMask = 32811;
inline constexpr int kCmdCenterOnAverage = 32818;
inline constexpr int kCmdCenterNextSample = 32820;
inline constexpr int kCmdCenterUserPosition = 32821;

// Context menu resources of the pages.
inline constexpr int kFrontPanelMenuId = 138;
inline constexpr int kScatterPlotMenuId = 104;

inline constexpr int kMenuSeparator = 0;

// The commands of a context menu in order, kMenuSeparator between groups;
// empty for an id that names no menu.
std::vector<int> PopupMenuCommands(int menuId);
