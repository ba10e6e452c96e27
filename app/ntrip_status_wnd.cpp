#include "app/ntrip_status_wnd.h"

#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

NtripStatusWnd::NtripStatusWnd(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("NTRIP Status"));
    setObjectName(QStringLiteral("NtripStatus"));
    auto* layout = new QVBoxLayout(this);
    m_tree = new QTreeWidget(this);
    m_tree->setColumnCount(2);
    m_tree->setHeaderLabels({tr("Item"), tr("Value")});
    m_tree->setRootIsDecorated(false);
    m_tree->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    layout->addWidget(m_tree);
    resize(560, 480);
}

void NtripStatusWnd::ShowRows(const std::vector<std::pair<std::string, std::string>>& rows)
{
    // Rows are updated in place so a refresh keeps the scroll position.
    while (m_tree->topLevelItemCount() > static_cast<int>(rows.size()))
        delete m_tree->takeTopLevelItem(m_tree->topLevelItemCount() - 1);
    for (size_t i = 0; i < rows.size(); ++i) {
        QTreeWidgetItem* item = m_tree->topLevelItem(static_cast<int>(i));
        if (item == nullptr)
            item = new QTreeWidgetItem(m_tree);
        item->setText(0, QString::fromStdString(rows[i].first));
        item->setText(1, QString::fromStdString(rows[i].second));
    }
}
