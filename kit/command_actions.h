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

// The application's commands by numeric id, one action each. Menus and
// context menus show these actions, so a command's handler and its checked
// or enabled state live in one place, whoever shows it. The main window owns
// the table; pages borrow it to build their context menus.

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

    // A menu of the commands of a context menu resource, or null when the id
    // names none. The caller owns it.
    QMenu* CreatePopupMenu(int menuId, QWidget* parent);
    // Runs before any menu of CreatePopupMenu shows, so that check marks
    // that follow saved settings are read at that moment; empty for none.
    void SetBeforePopupMenuShows(std::function<void()> hook);

private:
    std::map<int, QAction*> m_actions;
    std::function<void()> m_beforePopupMenuShows;
};

// The application's one table, living as long as the application object.
CommandActions& ApplicationCommands();

// The command id an action stands for, or 0.
int CommandId(const QAction* action);
