#include "app/status_bar_messages.h"

#include <QApplication>
#include <QEvent>
#include <QHelpEvent>
#include <QMainWindow>
#include <QMenu>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolTip>
#include <algorithm>

namespace {

// Holds room for the message in the status bar's layout. The bar draws its
// message itself, over the widgets left of the panes, and hides those widgets
// while a message shows, which would give the room away: this one stays.
class MessageRoom : public QWidget {
public:
    using QWidget::QWidget;
    void setVisible(bool) override { QWidget::setVisible(true); }
};

}  // namespace

StatusBarMessages::StatusBarMessages(QMainWindow& window, int messageRoom) : QObject(&window), m_window(window)
{
    m_bar = window.statusBar();
    auto* room = new MessageRoom(m_bar);
    room->setObjectName(QStringLiteral("messageRoom"));
    room->setMinimumWidth(messageRoom);
    m_bar->addWidget(room, 1);
    window.setMinimumWidth(std::max(window.minimumWidth(), m_bar->minimumSizeHint().width()));
    m_standing = m_bar->currentMessage();
    connect(m_bar, &QStatusBar::messageChanged, this, &StatusBarMessages::OnMessageChanged);
    // Hints travel as status tip events up to the window; menus of every kind
    // (the menu bar's, the pages' context menus) hide through the application.
    window.installEventFilter(this);
    m_bar->installEventFilter(this);
    qApp->installEventFilter(this);
}

void StatusBarMessages::OnMessageChanged(const QString& text)
{
    if (!m_showingHint)
        m_standing = text;
}

int StatusBarMessages::MessageAreaRight() const
{
    // The message has the room left of the leftmost pane.
    int right = m_bar->width();
    for (QWidget* child : m_bar->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->isVisible() && child->x() > 0 && child->objectName() != QLatin1String("messageRoom"))
            right = std::min(right, child->x());
    return right;
}

void StatusBarMessages::ShowHint(const QString& hint)
{
    m_showingHint = true;
    m_bar->showMessage(hint);
    m_showingHint = false;
}

void StatusBarMessages::RestoreStanding()
{
    if (m_bar->currentMessage() == m_standing)
        return;
    m_showingHint = true;  // the standing message is not new
    m_bar->showMessage(m_standing);
    m_showingHint = false;
}

bool StatusBarMessages::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_window && event->type() == QEvent::StatusTip) {
        const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        if (tip.isEmpty())
            RestoreStanding();
        else
            ShowHint(tip);
        return true;
    }
    if (watched == m_bar && event->type() == QEvent::ToolTip) {
        // Over the message area the whole message; over a pane, the pane's own tip.
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString message = m_bar->currentMessage();
        if (message.isEmpty() || help->pos().x() >= MessageAreaRight()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), message, m_bar);
        }
        return true;
    }
    if (event->type() == QEvent::Hide && qobject_cast<QMenu*>(watched) != nullptr)
        RestoreStanding();
    return false;
}
