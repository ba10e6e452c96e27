#pragma once

#include <QObject>
#include <QString>
#include <map>

class QAction;

// The application's commands, one action per command id. Menus and
// toolbars show these actions; whoever handles a command connects to its
// action's triggered signal, wherever the menu was opened.
class CommandActions : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // The action of `id`, created with `text` on first use; later calls
    // return the same action and leave its text alone.
    QAction* Action(int id, const QString& text);
    // nullptr while no action exists for `id`.
    QAction* Find(int id) const;
    // Triggers the command as a menu click would; false when it has no
    // action or the action is disabled.
    bool Trigger(int id);

private:
    std::map<int, QAction*> m_actions;
};
