#pragma once

#include <QString>

class QAction;

// The application's commands by numeric id: one QAction per id, shared by
// every menu that offers the command. Whoever handles a command connects to
// its action's triggered() signal once; menus only add the action.
class CommandActions {
public:
    // The action for `id`, created with `text` on first use; the text of a
    // later call is ignored.
    static QAction* Command(int id, const QString& text = {});
    // The action for `id` if it has been created, else nullptr.
    static QAction* Find(int id);
    // Triggers the command's action; false if there is no such action or it
    // is disabled.
    static bool Trigger(int id);
};
