#include "console/command_actions.h"

#include <QAction>
#include <QCoreApplication>
#include <QHash>
#include <QPointer>

namespace {

// The actions live as long as the application object.
QObject* Owner()
{
    static QPointer<QObject> owner;
    if (owner.isNull()) {
        owner = new QObject(QCoreApplication::instance());
        owner->setObjectName(QStringLiteral("CommandActions"));
    }
    return owner;
}

QHash<int, QPointer<QAction>>& Actions()
{
    static QHash<int, QPointer<QAction>> actions;
    return actions;
}

}  // namespace

QAction* CommandActions::Command(int id, const QString& text)
{
    QPointer<QAction>& action = Actions()[id];
    if (action.isNull()) {
        action = new QAction(text, Owner());
        action->setData(id);
    }
    return action;
}

QAction* CommandActions::Find(int id)
{
    const auto it = Actions().constFind(id);
    return it == Actions().constEnd() ? nullptr : it->data();
}

bool CommandActions::Trigger(int id)
{
    QAction* action = Find(id);
    if (action == nullptr || !action->isEnabled())
        return false;
    action->trigger();
    return true;
}
