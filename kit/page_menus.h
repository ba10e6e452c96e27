#pragma once

#include <vector>

#include "kit/command_ids.h"

// The pages' context menus by name; CommandActions::CreateContextMenu builds
// a menu from a list.
inline constexpr int kFrontPanelMenuId = 138;
inline constexpr int kScatterPlotMenuId = 104;
inline constexpr int kMenuNmeaMonitorRx = 106;  // "Clear &Receive Screen"
inline constexpr int kMenuNmeaMonitorTx = 121;  // "Clear &Transmit Screen"

// The commands of a context menu in order, kMenuSeparator between groups;
// empty for an id that names no menu.
std::vector<int> PopupMenuCommands(int menuId);
