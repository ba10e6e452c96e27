#include "analysis/command_actions.h"

#include <QAction>

QAction* CommandActions::Action(int id, const QString& text)
{
    auto found = m_actions.find(id);
    if (found != m_actions.end())
        return found->second;
    auto* action = new QAction(text, this);
    action->setData(id);
    m_actions.emplace(id, action);
    return action;
}

QAction* CommandActions::Find(int id) const
{
    const auto found = m_actions.find(id);
    return found == m_actions.end() ? nullptr : found->second;
}

bool CommandActions::Trigger(int id)
{
    QAction* action = Find(id);
    if (action == nullptr || !action->isEnabled())
        return false;
    action->trigger();
    return true;
}
