#pragma once

class QAction;
class QMenu;
class QPoint;
class QWidget;

// Context menus by menu id, built from the shared command actions.

// The shared action of a command offered by these menus, with its menu text.
QAction* MenuCommand(int commandId);

// A new menu for `menuId`, or nullptr for an id without a menu (such as 0).
QMenu* LoadPopupMenu(int menuId, QWidget* parent);

// Pops the menu up at a global position, owned by the top-level window of
// `owner` so that its commands reach the main window; it deletes itself when
// closed. Returns the menu, or nullptr when `menuId` has none.
QMenu* TrackPopupMenu(int menuId, QWidget* owner, const QPoint& globalPos);
