#include "app/customize_dlg.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QToolBar>
#include <QVBoxLayout>

#include "kit/fonts.h"
#include "app/toolbar_customization.h"

namespace {

constexpr int kIdRole = Qt::UserRole;

QPushButton* Button(const QString& text, const char* name, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

// Commands without a picture get an empty one, so that all texts line up.
QIcon IconOrBlank(const QAction* action)
{
    if (action != nullptr && !action->icon().isNull())
        return action->icon();
    QPixmap blank(16, 16);
    blank.fill(Qt::transparent);
    return QIcon(blank);
}

QListWidget* List(const char* name, QWidget* parent)
{
    auto* list = new QListWidget(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setIconSize(QSize(16, 16));
    list->setMinimumWidth(190);
    list->setMinimumHeight(220);
    return list;
}

}  // namespace

CustomizeDlg::CustomizeDlg(ToolbarCustomization& toolbars, QWidget* parent)
    : QDialog(parent)
    , m_toolbars(toolbars)
{
    setWindowTitle(tr("Customize"));
    setFont(DialogFont());
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);

    m_listToolbars = List("toolbars", this);
    m_listCommands = List("commands", this);
    m_listButtons = List("buttons", this);

    m_buttonNew = Button(tr("&New..."), "newToolbar", this);
    m_buttonRename = Button(tr("Re&name..."), "renameToolbar", this);
    m_buttonDelete = Button(tr("&Delete"), "deleteToolbar", this);
    m_buttonReset = Button(tr("&Reset"), "resetToolbar", this);
    m_buttonAdd = Button(tr("&Add >"), "addCommand", this);
    m_buttonSeparator = Button(tr("Add &Separator"), "addSeparator", this);
    m_buttonRemove = Button(tr("Re&move"), "removeButton", this);
    m_buttonUp = Button(tr("Move &Up"), "moveUp", this);
    m_buttonDown = Button(tr("Move Do&wn"), "moveDown", this);

    auto* grid = new QGridLayout;
    const auto label = [this](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        l->setBuddy(buddy);
        return l;
    };
    grid->addWidget(label(tr("&Toolbars:"), m_listToolbars), 0, 0);
    grid->addWidget(label(tr("&Commands:"), m_listCommands), 0, 1);
    grid->addWidget(label(tr("&Buttons on the toolbar:"), m_listButtons), 0, 2);
    grid->addWidget(m_listToolbars, 1, 0);
    grid->addWidget(m_listCommands, 1, 1);
    grid->addWidget(m_listButtons, 1, 2);
    const auto column = [this](std::initializer_list<QPushButton*> buttons) {
        auto* box = new QVBoxLayout;
        for (QPushButton* b : buttons)
            box->addWidget(b);
        box->addStretch(1);
        return box;
    };
    grid->addLayout(column({m_buttonNew, m_buttonRename, m_buttonDelete, m_buttonReset}), 2, 0);
    grid->addLayout(column({m_buttonAdd}), 2, 1);
    grid->addLayout(column({m_buttonSeparator, m_buttonRemove, m_buttonUp, m_buttonDown}), 2, 2);

    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(close);

    connect(m_buttonNew, &QPushButton::clicked, this, &CustomizeDlg::OnNewToolbar);
    connect(m_buttonRename, &QPushButton::clicked, this, &CustomizeDlg::OnRenameToolbar);
    connect(m_buttonDelete, &QPushButton::clicked, this, &CustomizeDlg::OnDeleteToolbar);
    connect(m_buttonReset, &QPushButton::clicked, this, &CustomizeDlg::OnResetToolbar);
    connect(m_buttonAdd, &QPushButton::clicked, this, &CustomizeDlg::OnAddCommand);
    connect(m_listCommands, &QListWidget::itemDoubleClicked, this, &CustomizeDlg::OnAddCommand);
    connect(m_buttonSeparator, &QPushButton::clicked, this, &CustomizeDlg::OnAddSeparator);
    connect(m_buttonRemove, &QPushButton::clicked, this, &CustomizeDlg::OnRemoveButton);
    connect(m_buttonUp, &QPushButton::clicked, this, [this] { OnMoveButton(-1); });
    connect(m_buttonDown, &QPushButton::clicked, this, [this] { OnMoveButton(1); });
    connect(m_listToolbars, &QListWidget::currentRowChanged, this, [this] {
        if (!m_refreshing)
            FillButtons();
    });
    connect(m_listToolbars, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (m_refreshing)
            return;
        if (QToolBar* bar = m_toolbars.Toolbar(item->data(kIdRole).toInt()))
            bar->setVisible(item->checkState() == Qt::Checked);
    });
    connect(m_listButtons, &QListWidget::currentRowChanged, this, &CustomizeDlg::UpdateButtonStates);
    connect(m_listCommands, &QListWidget::currentRowChanged, this, &CustomizeDlg::UpdateButtonStates);
    connect(&m_toolbars, &ToolbarCustomization::LayoutChanged, this, &CustomizeDlg::Refresh);

    for (int id : m_toolbars.AvailableCommands()) {
        const QAction* action = m_toolbars.Command(id);
        auto* item = new QListWidgetItem(IconOrBlank(action), m_toolbars.CommandLabel(id), m_listCommands);
        item->setData(kIdRole, id);
        item->setToolTip(action != nullptr ? action->statusTip() : QString());
    }
    Refresh();
    m_listToolbars->setCurrentRow(0);
}

int CustomizeDlg::CurrentToolbarId() const
{
    const QListWidgetItem* item = m_listToolbars->currentItem();
    return item != nullptr ? item->data(kIdRole).toInt() : 0;
}

void CustomizeDlg::SelectToolbar(int toolbarId)
{
    for (int row = 0; row < m_listToolbars->count(); ++row)
        if (m_listToolbars->item(row)->data(kIdRole).toInt() == toolbarId)
            m_listToolbars->setCurrentRow(row);
}

void CustomizeDlg::Refresh()
{
    const int current = CurrentToolbarId();
    m_refreshing = true;
    m_listToolbars->clear();
    for (const ToolbarButtons& toolbar : m_toolbars.Layout().Toolbars()) {
        auto* item = new QListWidgetItem(QString::fromStdString(toolbar.title), m_listToolbars);
        item->setData(kIdRole, toolbar.id);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        const QToolBar* bar = m_toolbars.Toolbar(toolbar.id);
        item->setCheckState(bar != nullptr && !bar->isHidden() ? Qt::Checked : Qt::Unchecked);
    }
    m_refreshing = false;
    SelectToolbar(current);
    if (m_listToolbars->currentRow() < 0)
        m_listToolbars->setCurrentRow(0);
    FillButtons();
}

void CustomizeDlg::FillButtons()
{
    const int row = m_listButtons->currentRow();
    m_listButtons->clear();
    if (const ToolbarButtons* toolbar = m_toolbars.Layout().Find(CurrentToolbarId())) {
        for (int id : toolbar->buttons) {
            QListWidgetItem* item = nullptr;
            if (id == kToolbarSeparator) {
                item = new QListWidgetItem(IconOrBlank(nullptr), tr("\u2014 separator \u2014"), m_listButtons);
            } else {
                const QAction* action = m_toolbars.Command(id);
                item = new QListWidgetItem(IconOrBlank(action), m_toolbars.CommandLabel(id), m_listButtons);
            }
            item->setData(kIdRole, id);
        }
    }
    SelectButtonRow(std::min(row, m_listButtons->count() - 1));
    UpdateButtonStates();
}

void CustomizeDlg::UpdateButtonStates()
{
    const int toolbar = CurrentToolbarId();
    const bool user = IsUserToolbarId(toolbar);
    const int row = SelectedButtonRow();
    m_buttonNew->setEnabled(m_toolbars.Layout().UserToolbarCount() < kMaxUserToolbars);
    m_buttonRename->setEnabled(user);
    m_buttonDelete->setEnabled(user);
    m_buttonReset->setEnabled(toolbar == kStandardToolbarId);
    m_buttonAdd->setEnabled(toolbar != 0 && m_listCommands->currentItem() != nullptr);
    m_buttonSeparator->setEnabled(toolbar != 0);
    m_buttonRemove->setEnabled(row >= 0);
    m_buttonUp->setEnabled(row > 0);
    m_buttonDown->setEnabled(row >= 0 && row + 1 < m_listButtons->count());
}

int CustomizeDlg::SelectedButtonRow() const
{
    return m_listButtons->currentItem() != nullptr ? m_listButtons->currentRow() : -1;
}

size_t CustomizeDlg::InsertionIndex() const
{
    const int row = SelectedButtonRow();
    return row >= 0 ? static_cast<size_t>(row) + 1 : static_cast<size_t>(m_listButtons->count());
}

void CustomizeDlg::SelectButtonRow(int row)
{
    if (row >= 0 && row < m_listButtons->count())
        m_listButtons->setCurrentRow(row);
}

void CustomizeDlg::OnNewToolbar()
{
    int next = kFirstUserToolbarId;
    while (m_toolbars.Layout().Find(next) != nullptr && next < kLastUserToolbarId)
        ++next;
    bool ok = false;
    const QString title = QInputDialog::getText(this, tr("New Toolbar"), tr("Toolbar name:"), QLineEdit::Normal,
                                                QString::fromStdString(DefaultUserToolbarTitle(next)), &ok);
    if (!ok)
        return;
    if (const std::optional<int> id = m_toolbars.CreateUserToolbar(title))
        SelectToolbar(*id);
}

void CustomizeDlg::OnRenameToolbar()
{
    const int toolbar = CurrentToolbarId();
    const ToolbarButtons* current = m_toolbars.Layout().Find(toolbar);
    if (!IsUserToolbarId(toolbar) || current == nullptr)
        return;
    bool ok = false;
    const QString title = QInputDialog::getText(this, tr("Rename Toolbar"), tr("Toolbar name:"), QLineEdit::Normal,
                                                QString::fromStdString(current->title), &ok);
    if (ok)
        m_toolbars.RenameToolbar(toolbar, title);
}

void CustomizeDlg::OnDeleteToolbar()
{
    const int toolbar = CurrentToolbarId();
    const ToolbarButtons* current = m_toolbars.Layout().Find(toolbar);
    if (!IsUserToolbarId(toolbar) || current == nullptr)
        return;
    const QString question = tr("Delete the toolbar \"%1\"?").arg(QString::fromStdString(current->title));
    if (QMessageBox::warning(this, windowTitle(), question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes)
        m_toolbars.DeleteUserToolbar(toolbar);
}

void CustomizeDlg::OnResetToolbar() { m_toolbars.ResetToolbar(CurrentToolbarId()); }

void CustomizeDlg::OnAddCommand()
{
    const QListWidgetItem* command = m_listCommands->currentItem();
    const int toolbar = CurrentToolbarId();
    if (command == nullptr || toolbar == 0)
        return;
    const int id = command->data(kIdRole).toInt();
    const size_t index = InsertionIndex();
    if (!m_toolbars.Edit(toolbar, [&](ToolbarLayout& layout) { return layout.InsertButton(toolbar, index, id); }))
        return;
    const std::vector<int>& buttons = m_toolbars.Layout().Find(toolbar)->buttons;
    SelectButtonRow(static_cast<int>(std::find(buttons.begin(), buttons.end(), id) - buttons.begin()));
}

void CustomizeDlg::OnAddSeparator()
{
    const int toolbar = CurrentToolbarId();
    const size_t index = InsertionIndex();
    if (m_toolbars.Edit(toolbar, [&](ToolbarLayout& layout) { return layout.InsertSeparator(toolbar, index); }))
        SelectButtonRow(static_cast<int>(index));
}

void CustomizeDlg::OnRemoveButton()
{
    const int toolbar = CurrentToolbarId();
    const int row = SelectedButtonRow();
    if (row < 0)
        return;
    m_toolbars.Edit(toolbar, [&](ToolbarLayout& layout) { return layout.RemoveButton(toolbar, size_t(row)); });
    SelectButtonRow(std::min(row, m_listButtons->count() - 1));
}

void CustomizeDlg::OnMoveButton(int step)
{
    const int toolbar = CurrentToolbarId();
    const int row = SelectedButtonRow();
    const int to = row + step;
    if (row < 0 || to < 0 || to >= m_listButtons->count())
        return;
    if (m_toolbars.Edit(toolbar,
                        [&](ToolbarLayout& layout) { return layout.MoveButton(toolbar, size_t(row), size_t(to)); }))
        SelectButtonRow(to);
}
