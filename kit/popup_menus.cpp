#include "kit/popup_menus.h"

#include <QMenu>
#include <QWidget>

#include "kit/command_actions.h"
#include "kit/page_menus.h"

namespace {

struct MenuItem {
    int menuId;
    int commandId;
    const char* text;
};

constexpr MenuItem kMenuItems[] = {
    {kMenuNmeaMonitorRx, kCmdClearReceiveScreen, "Clear &Receive Screen"},
    {kMenuNmeaMonitorTx, kCmdClearTransmitScreen, "Clear &Transmit Screen"},
};

}  // namespace

QAction* MenuCommand(int commandId)
{
    for (const MenuItem& item : kMenuItems) {
        if (item.commandId == commandId)
            return ApplicationCommands().ActionFor(commandId, QString::fromUtf8(item.text));
    }
    return ApplicationCommands().ActionFor(commandId);
}

QMenu* LoadPopupMenu(int menuId, QWidget* parent)
{
    QMenu* menu = nullptr;
    for (const MenuItem& item : kMenuItems) {
        if (item.menuId != menuId)
            continue;
        if (menu == nullptr)
            menu = new QMenu(parent);
        menu->addAction(MenuCommand(item.commandId));
    }
    return menu;
}

QMenu* TrackPopupMenu(int menuId, QWidget* owner, const QPoint& globalPos)
{
    QMenu* menu = LoadPopupMenu(menuId, owner != nullptr ? owner->window() : nullptr);
    if (menu == nullptr)
        return nullptr;
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(globalPos);
    return menu;
}
