#include "app/status_pane.h"

#include <QEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>

namespace {

constexpr int kPadding = 8;  // as the panes were always sized

}  // namespace

StatusPane::StatusPane(const QString& text, const QString& widest, const QString& least, QWidget* parent)
    : QLabel(text, parent), m_widest(widest), m_least(least)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

QSize StatusPane::sizeHint() const
{
    const int widest = fontMetrics().horizontalAdvance(m_widest.isEmpty() ? text() : m_widest) + kPadding;
    return QSize(std::max(widest, minimumSizeHint().width()), QLabel::sizeHint().height());
}

QSize StatusPane::minimumSizeHint() const
{
    return QSize(fontMetrics().horizontalAdvance(m_least) + kPadding, QLabel::minimumSizeHint().height());
}

QString StatusPane::Content() const
{
    // The padding after a text keeps the pane's width; it is not content.
    QString shown = text();
    while (shown.endsWith(QLatin1Char(' ')))
        shown.chop(1);
    return shown;
}

int StatusPane::ContentWidth() const { return fontMetrics().horizontalAdvance(Content()) + kPadding; }

QString StatusPane::Shown() const
{
    return fontMetrics().elidedText(Content(), Qt::ElideRight, contentsRect().width());
}

void StatusPane::UpdateTip()
{
    m_elided = Shown() != Content();
    setToolTip(m_elided ? text() : QString());
}

void StatusPane::paintEvent(QPaintEvent*)
{
    UpdateTip();
    QPainter painter(this);
    QStyleOption option;
    option.initFrom(this);
    style()->drawItemText(&painter, contentsRect(), Qt::AlignLeft | Qt::AlignVCenter, option.palette, isEnabled(),
                          Shown(), foregroundRole());
}

void StatusPane::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    UpdateTip();
}

void StatusPane::changeEvent(QEvent* event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        updateGeometry();
        UpdateTip();
    }
}
