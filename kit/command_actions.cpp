#include "kit/command_actions.h"

#include <QAction>
#include <QMenu>


namespace {

// Empty parts leave what the action has.
void Describe(QAction* action, const CommandText& command)
{
    const QStringList prompt = QString::fromUtf8(command.prompt).split(QLatin1Char('\n'));
    if (command.text[0] != '\0')
        action->setText(QString::fromUtf8(command.text));
    if (!prompt.value(0).isEmpty())
        action->setStatusTip(prompt.value(0));
    if (!prompt.value(1).isEmpty())
        action->setToolTip(prompt.value(1));
}

}  // namespace

CommandActions::CommandActions(QObject* parent)
    : QObject(parent)
{
}

QAction* CommandActions::ActionFor(int id)
{
    if (QAction* existing = Find(id))
        return existing;
    auto* action = new QAction(this);
    action->setData(id);
    m_actions.emplace(id, action);
    if (const CommandText* text = FindCommandText(id))
        Describe(action, *text);
    return action;
}

QAction* CommandActions::ActionFor(int id, const QString& text)
{
    const bool known = Find(id) != nullptr;
    QAction* action = ActionFor(id);
    if (!known && action->text().isEmpty())
        action->setText(text);
    return action;
}

QAction* CommandActions::Find(int id) const
{
    const auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

bool CommandActions::Trigger(int id)
{
    QAction* action = Find(id);
    if (action == nullptr || !action->isEnabled())
        return false;
    action->trigger();
    return true;
}

QMenu* CommandActions::CreateContextMenu(const std::vector<int>& commands, QWidget* parent)
{
    if (commands.empty())
        return nullptr;
    auto* menu = new QMenu(parent);
    QObject::connect(menu, &QMenu::aboutToShow, this, [this] {
        if (m_beforePopupMenuShows)
            m_beforePopupMenuShows();
    });
    for (int id : commands) {
        if (id == kMenuSeparator)
            menu->addSeparator();
        else
            menu->addAction(ActionFor(id));
    }
    return menu;
}

QMenu* CommandActions::PopUpContextMenu(const std::vector<int>& commands, QWidget* owner, const QPoint& globalPos)
{
    QMenu* menu = CreateContextMenu(commands, owner != nullptr ? owner->window() : nullptr);
    if (menu == nullptr)
        return nullptr;
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(globalPos);
    return menu;
}

std::vector<int> CommandActions::Ids() const
{
    std::vector<int> ids;
    ids.reserve(m_actions.size());
    for (const auto& [id, action] : m_actions)
        ids.push_back(id);
    return ids;
}

void CommandActions::SetBeforePopupMenuShows(std::function<void()> hook)
{
    m_beforePopupMenuShows = std::move(hook);
}

int CommandId(const QAction* action)
{
    return action == nullptr ? 0 : action->data().toInt();
}
