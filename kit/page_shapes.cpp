#include "kit/page_shapes.h"

#include <QFontMetrics>
#include <QPainter>
#include <cmath>

namespace {

// The outline's centre line for a pen of width w inside the box.
QRectF StrokeRect(const PixelRect& box, int w)
{
    if (w <= 1)
        return QRect(box.left, box.top, box.Width() - 1, box.Height() - 1);
    const double half = w / 2.0;
    return QRectF(box.left + half, box.top + half, box.Width() - w, box.Height() - w);
}

int PenWidth(const QPainter& painter)
{
    const QPen& pen = painter.pen();
    if (pen.style() == Qt::NoPen)
        return 0;
    return pen.width() < 1 ? 1 : pen.width();
}

}  // namespace

void DrawBoxRectangle(QPainter& painter, const PixelRect& box)
{
    if (box.IsEmpty())
        return;
    const int w = PenWidth(painter);
    if (w == 0)
        painter.drawRect(ToQRect(box));
    else
        painter.drawRect(StrokeRect(box, w));
}

void DrawBoxEllipse(QPainter& painter, const PixelRect& box)
{
    if (box.IsEmpty())
        return;
    const int w = PenWidth(painter);
    if (w == 0)
        painter.drawEllipse(ToQRect(box));
    else
        painter.drawEllipse(StrokeRect(box, w));
}

void DrawBoxRoundRect(QPainter& painter, const PixelRect& box, int cornerWidth, int cornerHeight)
{
    if (box.IsEmpty())
        return;
    const int w = PenWidth(painter);
    const QRectF r = w == 0 ? QRectF(ToQRect(box)) : StrokeRect(box, w);
    painter.drawRoundedRect(r, cornerWidth / 2.0, cornerHeight / 2.0);
}

void DrawLineTo(QPainter& painter, PixelPoint from, PixelPoint to)
{
    if (from == to)
        return;
    // Step back one pixel along the longer axis, as a pen moving to a point
    // stops short of it.
    const int dx = to.x - from.x;
    const int dy = to.y - from.y;
    QPoint end(to.x, to.y);
    if (std::abs(dx) >= std::abs(dy))
        end.rx() -= dx > 0 ? 1 : -1;
    else
        end.ry() -= dy > 0 ? 1 : -1;
    painter.drawLine(QPoint(from.x, from.y), end);
}

TextMeasure MeasureWith(const QFontMetrics& metrics)
{
    return [metrics](std::string_view text) {
        const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
        return TextExtent{metrics.horizontalAdvance(s), metrics.height()};
    };
}
