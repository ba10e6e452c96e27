#pragma once

#include <QDialog>

class QListWidget;
class QPushButton;
class ToolbarCustomization;

// "Customize": a modeless dialog that arranges the toolbars. On the left
// the toolbars (the check shows or hides one; new, rename, delete, reset),
// in the middle every command that can be a button, on the right the
// buttons of the chosen toolbar in order (add, separator, remove, move).
// Every change shows on the toolbar at once.
class CustomizeDlg : public QDialog {
    Q_OBJECT

public:
    explicit CustomizeDlg(ToolbarCustomization& toolbars, QWidget* parent = nullptr);

    int CurrentToolbarId() const;
    void SelectToolbar(int toolbarId);

private:
    void Refresh();
    void FillButtons();
    void UpdateButtonStates();
    int SelectedButtonRow() const;
    // Where a new button goes: after the selected one, else at the end.
    size_t InsertionIndex() const;
    void SelectButtonRow(int row);

    void OnNewToolbar();
    void OnRenameToolbar();
    void OnDeleteToolbar();
    void OnResetToolbar();
    void OnAddCommand();
    void OnAddSeparator();
    void OnRemoveButton();
    void OnMoveButton(int step);

    ToolbarCustomization& m_toolbars;
    QListWidget* m_listToolbars = nullptr;
    QListWidget* m_listCommands = nullptr;
    QListWidget* m_listButtons = nullptr;
    QPushButton* m_buttonNew = nullptr;
    QPushButton* m_buttonRename = nullptr;
    QPushButton* m_buttonDelete = nullptr;
    QPushButton* m_buttonReset = nullptr;
    QPushButton* m_buttonAdd = nullptr;
    QPushButton* m_buttonSeparator = nullptr;
    QPushButton* m_buttonRemove = nullptr;
    QPushButton* m_buttonUp = nullptr;
    QPushButton* m_buttonDown = nullptr;
    bool m_refreshing = false;
};
