#include "app/status_bar_messages.h"

#include "app/status_pane.h"

#include <QApplication>
#include <QEvent>
#include <QHelpEvent>
#include <QMainWindow>
#include <QMenu>
#include <QPainter>
#include <QSizeGrip>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QStyleOption>
#include <QToolTip>
#include <algorithm>
#include <vector>

namespace {

constexpr int kTextInset = 2;

}  // namespace

// Holds room for the message in the status bar's layout and shows the
// message there, cut with "…" when it does not fit (the bar would cut it
// anywhere, mid-word, without a sign). The bar hides the widgets left of the
// panes while a message shows, which would give the room away: this one
// stays.
class StatusMessageRoom : public QWidget {
public:
    explicit StatusMessageRoom(QStatusBar* bar) : QWidget(bar), m_bar(bar) {}
    void setVisible(bool) override { QWidget::setVisible(true); }

    void SetMessage(const QString& text)
    {
        m_text = text;
        UpdateTip();
        update();
    }
    QString Shown() const
    {
        return fontMetrics().elidedText(m_text, Qt::ElideRight, std::max(0, width() - 2 * kTextInset));
    }
    int Wanted() const { return fontMetrics().horizontalAdvance(m_text) + 2 * kTextInset + 2; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setPen(m_bar->palette().color(QPalette::WindowText));
        painter.drawText(rect().adjusted(kTextInset, 0, -kTextInset, 0),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, Shown());
    }
    void resizeEvent(QResizeEvent* event) override
    {
        QWidget::resizeEvent(event);
        UpdateTip();
    }

private:
    void UpdateTip() { setToolTip(Shown() != m_text ? m_text : QString()); }

    QStatusBar* m_bar;
    QString m_text;
};

StatusBarMessages::StatusBarMessages(QMainWindow& window, int messageRoom) : QObject(&window), m_window(window)
{
    m_bar = window.statusBar();
    m_room = new StatusMessageRoom(m_bar);
    m_room->setObjectName(QStringLiteral("messageRoom"));
    m_room->setMinimumWidth(messageRoom);
    m_minimumRoom = messageRoom;
    m_bar->addWidget(m_room, 1);
    window.setMinimumWidth(std::max(window.minimumWidth(), m_bar->minimumSizeHint().width()));
    m_standing = m_bar->currentMessage();
    m_room->SetMessage(m_standing);
    connect(m_bar, &QStatusBar::messageChanged, this, &StatusBarMessages::OnMessageChanged);
    // Hints travel as status tip events up to the window; menus of every kind
    // (the menu bar's, the pages' context menus) hide through the application.
    window.installEventFilter(this);
    m_bar->installEventFilter(this);
    qApp->installEventFilter(this);
}

QString StatusBarMessages::ShownMessage() const { return m_room->Shown(); }

void StatusBarMessages::FitPanes()
{
    // Who gives way, in order: the padding of the status panes, then the
    // source and health panes, then the message; a status pane's text
    // last. Each pane gets a maximum width; the message room takes the rest.
    struct Pane {
        StatusPane* label;
        int least, whole, full;
    };
    std::vector<Pane> status, giving;
    int fixed = 0, items = 0;
    for (QWidget* child : m_bar->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child == m_room || child->isWindow() || !child->isVisibleTo(m_bar))
            continue;
        ++items;
        auto* pane = qobject_cast<StatusPane*>(child);
        if (pane == nullptr) {
            fixed += child->sizeHint().width();
            continue;
        }
        const QString name = pane->objectName();
        const int full = pane->sizeHint().width();
        const int least = pane->minimumSizeHint().width();
        if (name == QLatin1String("sourcePane") || name == QLatin1String("healthPane"))
            giving.push_back({pane, least, least, full});
        else
            status.push_back({pane, least, std::clamp(pane->ContentWidth(), least, full), full});
    }
    const QMargins margins = m_bar->contentsMargins();
    // Each item is framed apart by a few pixels.
    int free = m_bar->width() - margins.left() - margins.right() - fixed - 6 * (items + 1);
    const int message = std::max(m_room->Wanted(), m_minimumRoom);
    for (const Pane& p : status)
        free -= p.whole;
    for (const Pane& p : giving)
        free -= p.least;
    free -= message;
    // What is left goes to the source and health panes first, then back to
    // the status panes' padding.
    const auto hand = [&free](std::vector<Pane>& panes, int Pane::*from) {
        int wanted = 0;
        for (const Pane& p : panes)
            wanted += p.full - p.*from;
        const int given = std::clamp(free, 0, wanted);
        for (Pane& p : panes) {
            const int extra = wanted > 0 ? static_cast<int>(static_cast<long long>(given) * (p.full - p.*from) / wanted) : 0;
            p.*from += extra;
        }
        free -= given;
    };
    hand(giving, &Pane::least);
    hand(status, &Pane::whole);
    for (const Pane& p : giving)
        if (p.label->maximumWidth() != p.least)
            p.label->setMaximumWidth(p.least);
    for (const Pane& p : status)
        if (p.label->maximumWidth() != p.whole)
            p.label->setMaximumWidth(p.whole);
}

void StatusBarMessages::OnMessageChanged(const QString& text)
{
    if (!m_showingHint)
        m_standing = text;
    m_room->SetMessage(text);
    FitPanes();
}

int StatusBarMessages::MessageAreaRight() const
{
    // The message has the room left of the leftmost pane.
    int right = m_bar->width();
    for (QWidget* child : m_bar->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->isVisible() && child->x() > 0 && child != m_room)
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
    if (watched == m_bar && event->type() == QEvent::Paint) {
        // The bar as it paints itself, without its own message: the room
        // shows it, cut where it must be.
        QPainter painter(m_bar);
        QStyleOption option;
        option.initFrom(m_bar);
        m_bar->style()->drawPrimitive(QStyle::PE_PanelStatusBar, &option, &painter, m_bar);
        for (QWidget* child : m_bar->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (child == m_room || child->isWindow() || !child->isVisible() || qobject_cast<QSizeGrip*>(child) != nullptr)
                continue;
            QStyleOption frame(0);
            frame.rect = child->geometry().adjusted(-2, -1, 2, 1);
            frame.palette = m_bar->palette();
            frame.state = QStyle::State_None;
            m_bar->style()->drawPrimitive(QStyle::PE_FrameStatusBarItem, &frame, &painter, child);
        }
        return true;
    }
    if (watched == m_bar && (event->type() == QEvent::Resize || event->type() == QEvent::LayoutRequest))
        FitPanes();
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
