#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <vector>

#include "kit/command_ids.h"
#include "kit/command_texts.h"

class QAction;
class QMenu;
class QPoint;
class QWidget;

// The application's commands by numeric id, one action each. Menus and
// context menus show these actions, so a command's handler and its checked
// or enabled state live in one place, whoever shows it. The main window
// creates the one table and hands it to the pages that build context menus;
// nothing reaches it globally.
class CommandActions : public QObject {
public:
    explicit CommandActions(QObject* parent = nullptr);

    // The command's action, created on first use with its text, status-bar
    // prompt and tooltip where the text table (command_texts.h) knows them.
    QAction* ActionFor(int id);
    // The same, with `text` for a command the table has no text for; the
    // text of a later call is ignored.
    QAction* ActionFor(int id, const QString& text);
    // The action if it exists, else null.
    QAction* Find(int id) const;
    // Triggers the command as a menu choice would; false when it has no
    // action or the action is disabled.
    bool Trigger(int id);

    // The ids of every command that has an action, in increasing order.
    std::vector<int> Ids() const;

    // The one way to build a context menu: the commands of `commands` in
    // order, a separator for each kMenuSeparator (0); null for an empty list.
    // The caller owns the menu. Named lists live in page_menus.h.
    QMenu* CreateContextMenu(const std::vector<int>& commands, QWidget* parent);
    // The same menu popped up at a global position without waiting, owned by
    // the top-level window of `owner` and deleted when it closes; null (and
    // nothing shown) for an empty list.
    QMenu* PopUpContextMenu(const std::vector<int>& commands, QWidget* owner, const QPoint& globalPos);
    // Runs before any context menu shows, so that check marks that follow
    // saved settings are read at that moment; empty for none.
    void SetBeforePopupMenuShows(std::function<void()> hook);

private:
    std::map<int, QAction*> m_actions;
    std::function<void()> m_beforePopupMenuShows;
};

// The command id an action stands for, or 0.
int CommandId(const QAction* action);
