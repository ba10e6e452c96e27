#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "app/toolbar_layout.h"

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;
class CustomizeDlg;
class CommandActions;

// The window's toolbars as the user arranged them: the "Standard" toolbar
// and up to ten user toolbars, each ending in a customise button. Every
// change goes through the layout model and is then shown on the toolbar,
// so the model is always what the window shows and what is saved.
class ToolbarCustomization : public QObject {
    Q_OBJECT

public:
    // Takes over `standard` as built, whose buttons become its defaults.
    ToolbarCustomization(QMainWindow& frame, CommandActions& commands, QToolBar* standard);

    // Shows a saved layout: the standard toolbar's buttons and the user
    // toolbars. Run before the window state is restored, which places the
    // toolbars by their names. Commands the table does not know are left out.
    void Restore(const std::optional<ToolbarLayout>& saved);

    const ToolbarLayout& Layout() const { return m_layout; }
    QToolBar* Toolbar(int toolbarId) const;
    const std::vector<int>& StandardDefaults() const { return m_standardDefaults; }

    // Every command that can be a button: it has a text or an icon. Sorted
    // by the text shown for it.
    std::vector<int> AvailableCommands() const;
    QAction* Command(int command) const;
    // The command's text without access-key marks, shortcut and dots.
    QString CommandLabel(int command) const;

    // Changes the layout and shows the result; false (nothing changed) when
    // `change` refuses.
    bool Edit(int toolbarId, const std::function<bool(ToolbarLayout&)>& change);
    std::optional<int> CreateUserToolbar(const QString& title = {});
    bool DeleteUserToolbar(int toolbarId);
    bool RenameToolbar(int toolbarId, const QString& title);
    // The standard toolbar gets its default buttons back; a user toolbar is
    // emptied.
    bool ResetToolbar(int toolbarId);

    // "Customize..." at the end of a pane menu.
    void AddCustomizeEntry(QMenu* menu);
    // The modeless customise dialog; brought to the front when it is open.
    CustomizeDlg* ShowCustomizeDialog();
    CustomizeDlg* CustomizeDialog() const;

signals:
    void LayoutChanged();

private:
    QToolBar* AddUserToolBar(int toolbarId, const QString& title);
    void AddCustomizeButton(QToolBar* bar);
    void Show(int toolbarId);
    void FillAddOrRemoveMenu(QMenu* menu, int toolbarId);
    bool IsAvailable(int command) const;

    QMainWindow& m_frame;
    CommandActions& m_commands;
    QAction* m_customize = nullptr;
    ToolbarLayout m_layout;
    std::vector<int> m_standardDefaults;
    std::map<int, QToolBar*> m_toolbars;
    QPointer<CustomizeDlg> m_dialog;
};
