#include "app/toolbar_customization.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>

#include "app/customize_dlg.h"
#include "kit/command_actions.h"

namespace {

constexpr char kCustomizeButtonName[] = "customizeButton";

QString Utf8(const std::string& s) { return QString::fromStdString(s); }

QAction* CustomizeButtonOf(const QToolBar* bar)
{
    for (QAction* action : bar->actions())
        if (action->objectName() == QLatin1String(kCustomizeButtonName))
            return action;
    return nullptr;
}

}  // namespace

ToolbarCustomization::ToolbarCustomization(QMainWindow& frame, CommandActions& commands, QToolBar* standard)
    : QObject(&frame)
    , m_frame(frame)
    , m_commands(commands)
{
    m_customize = m_commands.ActionFor(kCmdViewCustomize, QStringLiteral("Customize..."));
    if (m_customize->statusTip().isEmpty())
        m_customize->setStatusTip(QStringLiteral("Customizes the toolbars"));
    connect(m_customize, &QAction::triggered, this, [this] { ShowCustomizeDialog(); });

    for (QAction* action : standard->actions())
        m_standardDefaults.push_back(action->isSeparator() ? kToolbarSeparator : CommandId(action));
    m_layout.AddToolbar(kStandardToolbarId, standard->windowTitle().toStdString(), m_standardDefaults);
    m_toolbars[kStandardToolbarId] = standard;
    standard->setObjectName(Utf8(ToolbarObjectName(kStandardToolbarId)));
    AddCustomizeButton(standard);
}

QToolBar* ToolbarCustomization::Toolbar(int toolbarId) const
{
    const auto it = m_toolbars.find(toolbarId);
    return it == m_toolbars.end() ? nullptr : it->second;
}

QAction* ToolbarCustomization::Command(int command) const { return m_commands.Find(command); }

bool ToolbarCustomization::IsAvailable(int command) const
{
    const QAction* action = m_commands.Find(command);
    return action != nullptr && !action->isSeparator() && (!action->text().isEmpty() || !action->icon().isNull());
}

std::vector<int> ToolbarCustomization::AvailableCommands() const
{
    std::vector<int> commands;
    for (int id : m_commands.Ids())
        if (IsAvailable(id))
            commands.push_back(id);
    std::stable_sort(commands.begin(), commands.end(), [this](int a, int b) {
        return CommandLabel(a).compare(CommandLabel(b), Qt::CaseInsensitive) < 0;
    });
    return commands;
}

QString ToolbarCustomization::CommandLabel(int command) const
{
    const QAction* action = m_commands.Find(command);
    if (action == nullptr)
        return {};
    QString text = action->text().section(QLatin1Char('\t'), 0, 0);
    QString label;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size())
            ++i;  // the access key's mark; "&&" stands for one "&"
        label += text[i];
    }
    if (label.endsWith(QLatin1String("...")))
        label.chop(3);
    label = label.trimmed();
    return label.isEmpty() ? action->toolTip() : label;
}

void ToolbarCustomization::Restore(const std::optional<ToolbarLayout>& saved)
{
    if (!saved)
        return;
    for (const ToolbarButtons& toolbar : saved->Toolbars()) {
        std::vector<int> buttons;
        std::copy_if(toolbar.buttons.begin(), toolbar.buttons.end(), std::back_inserter(buttons),
                     [this](int id) { return id == kToolbarSeparator || IsAvailable(id); });
        if (toolbar.id == kStandardToolbarId) {
            m_layout.SetButtons(kStandardToolbarId, buttons);
            Show(kStandardToolbarId);
        } else if (m_layout.AddToolbar(toolbar.id, toolbar.title, buttons)) {
            AddUserToolBar(toolbar.id, Utf8(m_layout.Find(toolbar.id)->title));
            Show(toolbar.id);
        }
    }
    emit LayoutChanged();
}

bool ToolbarCustomization::Edit(int toolbarId, const std::function<bool(ToolbarLayout&)>& change)
{
    if (Toolbar(toolbarId) == nullptr || !change(m_layout))
        return false;
    Show(toolbarId);
    emit LayoutChanged();
    return true;
}

std::optional<int> ToolbarCustomization::CreateUserToolbar(const QString& title)
{
    const std::optional<int> id = m_layout.AddUserToolbar(title.toStdString());
    if (!id)
        return std::nullopt;
    QToolBar* bar = AddUserToolBar(*id, Utf8(m_layout.Find(*id)->title));
    bar->show();
    emit LayoutChanged();
    return id;
}

bool ToolbarCustomization::DeleteUserToolbar(int toolbarId)
{
    QToolBar* bar = Toolbar(toolbarId);
    if (bar == nullptr || !m_layout.RemoveUserToolbar(toolbarId))
        return false;
    m_toolbars.erase(toolbarId);
    m_frame.removeToolBar(bar);
    bar->deleteLater();
    emit LayoutChanged();
    return true;
}

bool ToolbarCustomization::RenameToolbar(int toolbarId, const QString& title)
{
    // The standard toolbar keeps its name.
    if (!IsUserToolbarId(toolbarId) || !m_layout.Rename(toolbarId, title.toStdString()))
        return false;
    Toolbar(toolbarId)->setWindowTitle(Utf8(m_layout.Find(toolbarId)->title));
    emit LayoutChanged();
    return true;
}

bool ToolbarCustomization::ResetToolbar(int toolbarId)
{
    const std::vector<int> buttons = toolbarId == kStandardToolbarId ? m_standardDefaults : std::vector<int>{};
    return Edit(toolbarId, [&](ToolbarLayout& layout) { return layout.SetButtons(toolbarId, buttons); });
}

QToolBar* ToolbarCustomization::AddUserToolBar(int toolbarId, const QString& title)
{
    auto* bar = new QToolBar(title, &m_frame);
    bar->setObjectName(Utf8(ToolbarObjectName(toolbarId)));
    const QToolBar* standard = Toolbar(kStandardToolbarId);
    bar->setIconSize(standard != nullptr ? standard->iconSize() : QSize(32, 32));
    m_frame.addToolBar(Qt::TopToolBarArea, bar);
    m_toolbars[toolbarId] = bar;
    AddCustomizeButton(bar);
    return bar;
}

void ToolbarCustomization::AddCustomizeButton(QToolBar* bar)
{
    auto* button = new QToolButton(bar);
    button->setObjectName(QString::fromLatin1(kCustomizeButtonName));
    button->setArrowType(Qt::DownArrow);
    button->setAutoRaise(true);
    button->setPopupMode(QToolButton::InstantPopup);
    button->setToolTip(QStringLiteral("Toolbar Options"));
    button->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; width: 0px; }"));
    button->setFixedWidth(14);
    auto* menu = new QMenu(button);
    connect(menu, &QMenu::aboutToShow, this, [this, menu, bar] {
        for (const auto& [id, toolbar] : m_toolbars)
            if (toolbar == bar)
                FillAddOrRemoveMenu(menu, id);
    });
    button->setMenu(menu);
    bar->addWidget(button)->setObjectName(QString::fromLatin1(kCustomizeButtonName));
}

void ToolbarCustomization::FillAddOrRemoveMenu(QMenu* menu, int toolbarId)
{
    qDeleteAll(menu->findChildren<QMenu*>(Qt::FindDirectChildrenOnly));
    menu->clear();
    QMenu* buttons = menu->addMenu(QStringLiteral("&Add or Remove Buttons"));
    const ToolbarButtons* toolbar = m_layout.Find(toolbarId);
    // The toolbar's own buttons first, then those it shipped with and lost.
    std::vector<int> offered;
    for (int id : toolbar->buttons)
        if (id != kToolbarSeparator)
            offered.push_back(id);
    const std::vector<int> defaults = toolbarId == kStandardToolbarId ? m_standardDefaults : std::vector<int>{};
    for (int id : defaults)
        if (id != kToolbarSeparator && std::find(offered.begin(), offered.end(), id) == offered.end())
            offered.push_back(id);
    for (int id : offered) {
        if (m_commands.Find(id) == nullptr)
            continue;
        const bool shown = std::find(toolbar->buttons.begin(), toolbar->buttons.end(), id) != toolbar->buttons.end();
        QAction* item = buttons->addAction(m_commands.Find(id)->icon(), CommandLabel(id));
        item->setCheckable(true);
        item->setChecked(shown);
        connect(item, &QAction::triggered, this, [this, toolbarId, id, shown, defaults] {
            Edit(toolbarId, [&](ToolbarLayout& layout) {
                if (!shown)
                    return layout.RestoreDefaultButton(toolbarId, id, defaults);
                const std::vector<int>& now = layout.Find(toolbarId)->buttons;
                const auto at = std::find(now.begin(), now.end(), id);
                return at != now.end() && layout.RemoveButton(toolbarId, static_cast<size_t>(at - now.begin()));
            });
        });
    }
    buttons->addSeparator();
    buttons->addAction(QStringLiteral("&Reset Toolbar"), this, [this, toolbarId] { ResetToolbar(toolbarId); });
    menu->addAction(m_customize);
}

void ToolbarCustomization::Show(int toolbarId)
{
    QToolBar* bar = Toolbar(toolbarId);
    const ToolbarButtons* toolbar = m_layout.Find(toolbarId);
    if (bar == nullptr || toolbar == nullptr)
        return;
    QAction* customize = CustomizeButtonOf(bar);
    for (QAction* action : bar->actions()) {
        if (action == customize)
            continue;
        bar->removeAction(action);
        // Separators belong to the toolbar; commands to the command table.
        if (action->isSeparator() && action->parent() == bar)
            delete action;
    }
    for (int id : toolbar->buttons) {
        if (id == kToolbarSeparator) {
            bar->insertSeparator(customize);
            continue;
        }
        QAction* action = m_commands.Find(id);
        if (action == nullptr)
            continue;
        // A button without a picture shows its text, without the shortcut.
        if (action->icon().isNull() && action->text().contains(QLatin1Char('\t')))
            action->setIconText(CommandLabel(id));
        bar->insertAction(customize, action);
    }
}

void ToolbarCustomization::AddCustomizeEntry(QMenu* menu)
{
    if (menu == nullptr)
        return;
    menu->addSeparator();
    menu->addAction(m_customize);
}

CustomizeDlg* ToolbarCustomization::ShowCustomizeDialog()
{
    if (m_dialog.isNull())
        m_dialog = new CustomizeDlg(*this, &m_frame);
    m_dialog->show();
    m_dialog->raise();
    m_dialog->activateWindow();
    return m_dialog;
}

CustomizeDlg* ToolbarCustomization::CustomizeDialog() const { return m_dialog; }
