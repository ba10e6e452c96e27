#pragma once

#include <QDialog>
#include <string>
#include <utility>
#include <vector>

class QTreeWidget;

// Tools > NTRIP Status: the rows NtripStatusRows makes, refreshed by its
// owner while it is shown.
class NtripStatusWnd : public QDialog {
    Q_OBJECT
public:
    explicit NtripStatusWnd(QWidget* parent = nullptr);
    void ShowRows(const std::vector<std::pair<std::string, std::string>>& rows);
    QTreeWidget* Tree() const { return m_tree; }

private:
    QTreeWidget* m_tree = nullptr;
};
