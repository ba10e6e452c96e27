#include "displays/scatter_plot_wnd.h"

#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <memory>

#include "kit/command_actions.h"
#include "kit/page_menus.h"
#include "kit/fonts.h"
#include "kit/page_painting.h"
#include "kit/page_shapes.h"
#include "displays/scatter_plot_mapping.h"

namespace {

const QColor kAverageColor(0, 128, 0);

PixelPoint EventPoint(const QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    return {p.x(), p.y()};
}

// A sample is a solid 3 x 3 square in one colour; a day of them is written
// straight into the image's pixels, oldest first, so newer samples cover
// older ones. Squares are clipped to the image.
void FillSampleSquare(QImage& image, PixelPoint p, QRgb color)
{
    const int left = std::max(p.x - 1, 0);
    const int right = std::min(p.x + 2, image.width());
    const int top = std::max(p.y - 1, 0);
    const int bottom = std::min(p.y + 2, image.height());
    for (int y = top; y < bottom; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = left; x < right; ++x)
            line[x] = color;
    }
}

}  // namespace

ScatterPlotWnd::ScatterPlotWnd(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
}

void ScatterPlotWnd::AddSample(double latitude, double longitude, double altitude, double hdop, double vdop)
{
    m_model.AddSample(latitude, longitude, altitude, hdop, vdop);
}

void ScatterPlotWnd::SetAveragePosition(double latitude, double longitude)
{
    m_model.SetAveragePosition(latitude, longitude);
}

void ScatterPlotWnd::SetUserPosition(double latitude, double longitude, double altitude)
{
    m_model.SetUserPosition(latitude, longitude, altitude);
}

void ScatterPlotWnd::SetCenterMode(int mode)
{
    m_model.SetCenterMode(mode);
    update();
}

void ScatterPlotWnd::SetDopThreshold(int x100)
{
    m_model.SetDopThreshold(x100);
}

void ScatterPlotWnd::ClearSamples()
{
    m_model.ClearSamples();
    update();
}

void ScatterPlotWnd::SetCommandActions(CommandActions* commands)
{
    m_commands = commands;
}

void ScatterPlotWnd::ZoomIn()
{
    m_model.ZoomIn();
    update();
}

void ScatterPlotWnd::ZoomOut()
{
    m_model.ZoomOut();
    update();
}

QImage ScatterPlotWnd::RenderPage()
{
    QImage image(size(), QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.fill(palette().color(backgroundRole()));
    const int w = width();
    const int h = height();

    GetPageColors(m_bgColor, m_fgColor);
    const PlotMapping mapping = ComputeMapping(m_model.Bounds(), w, h);

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QPen fgPen(m_fgColor, 1);
    painter.setPen(fgPen);
    painter.setBrush(m_bgColor);
    FillPageBackground(painter, rect());

    // Cross hair through the window centre.
    painter.drawLine(0, h / 2, w - 1, h / 2);
    painter.drawLine(w / 2, 0, w / 2, h - 1);

    const QFont font = PageFont(QStringLiteral("Tahoma"), ScatterPlotFontHeight(w, h));
    const QFontMetrics metrics(font);
    painter.setFont(font);
    const int textHeight = metrics.height();

    painter.setBrush(Qt::NoBrush);
    for (const RangeRing& ring : RangeRings(mapping, textHeight)) {
        if (!ring.drawn)
            continue;
        DrawBoxEllipse(painter, ring.box);
        if (ring.labelled)
            painter.drawText(QRect(ring.box.left, ring.box.top, ring.box.Width(), textHeight),
                             Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip, QString::fromStdString(ring.label));
    }

    const QStringList status =
        QString::fromStdString(ScatterPlotStatusText(m_model.Center(), m_model.LastSample(), m_model.Samples().size()))
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < status.size(); ++i)
        painter.drawText(QRect(0, static_cast<int>(i) * textHeight, w, textHeight),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, status[i]);

    // A mapping without scale (no longitude span) has nowhere to put a fix.
    if (mapping.CanMap()) {
        painter.end();
        const QRgb good = m_goodColor.rgb();
        const QRgb bad = m_badColor.rgb();
        for (const ScatterPlotPosition& sample : m_model.Samples())
            FillSampleSquare(image, MapToPixel(mapping, sample), m_model.IsGood(sample) ? good : bad);
        painter.begin(&image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setFont(font);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(m_lastSampleColor, 1));
        DrawBoxEllipse(painter, MarkerCircle(MapToPixel(mapping, m_model.LastSample())));
        painter.setPen(QPen(kAverageColor, 2));
        DrawBoxEllipse(painter, MarkerCircle(MapToPixel(mapping, m_model.AveragePosition())));
    }

    m_zoomInRect = ZoomInButtonRect(w);
    m_zoomOutRect = ZoomOutButtonRect(w);
    DrawZoomButton(painter, m_zoomInRect, m_pressedButton == kCmdZoomIn, QStringLiteral("+"), textHeight);
    DrawZoomButton(painter, m_zoomOutRect, m_pressedButton == kCmdZoomOut, QStringLiteral("-"), textHeight);
    return image;
}

void ScatterPlotWnd::DrawZoomButton(QPainter& painter, const PixelRect& button, bool held, const QString& sign,
                                     int textHeight)
{
    painter.setPen(QPen(m_fgColor, 1));
    painter.setBrush(held ? QBrush(Qt::white) : QBrush(Qt::NoBrush));
    DrawBoxRectangle(painter, button);
    painter.drawText(QRect(button.left, button.top + 4, button.Width(), textHeight),
                     Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip, sign);
}

void ScatterPlotWnd::paintEvent(QPaintEvent*)
{
    const QImage image = RenderPage();
    QPainter(this).drawImage(0, 0, image);
}

void ScatterPlotWnd::wheelEvent(QWheelEvent* event)
{
    // One step per event, whatever its size.
    const int delta = event->angleDelta().y();
    if (delta < 0)
        ZoomOut();
    else if (delta > 0)
        ZoomIn();
    event->accept();
}

void ScatterPlotWnd::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    const PixelPoint p = EventPoint(event);
    if (m_zoomInRect.Contains(p.x, p.y)) {
        m_pressedButton = kCmdZoomIn;
        update();
    } else if (m_zoomOutRect.Contains(p.x, p.y)) {
        m_pressedButton = kCmdZoomOut;
        update();
    } else {
        m_pressedButton = 0;
    }
}

void ScatterPlotWnd::mouseDoubleClickEvent(QMouseEvent* event)
{
    // A double-click on a button zooms twice.
    mousePressEvent(event);
}

void ScatterPlotWnd::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || m_pressedButton == 0) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    m_pressedButton = 0;
    const PixelPoint p = EventPoint(event);
    // Whichever button was pressed, the one released over decides.
    if (m_zoomInRect.Contains(p.x, p.y))
        ZoomIn();
    else if (m_zoomOutRect.Contains(p.x, p.y))
        ZoomOut();
    else
        update();
}

void ScatterPlotWnd::mouseMoveEvent(QMouseEvent* event)
{
    const PixelPoint p = EventPoint(event);
    if (!m_zoomInRect.Contains(p.x, p.y) && !m_zoomOutRect.Contains(p.x, p.y)) {
        m_pressedButton = 0;
        update();
    }
}

void ScatterPlotWnd::leaveEvent(QEvent*)
{
    m_pressedButton = 0;
    update();
}

void ScatterPlotWnd::contextMenuEvent(QContextMenuEvent* event)
{
    if (m_contextMenuId == 0 || m_commands == nullptr)
        return;
    const QPoint at =
        event->reason() == QContextMenuEvent::Keyboard ? mapToGlobal(QPoint(5, 5)) : event->globalPos();
    const std::unique_ptr<QMenu> menu(m_commands->CreateContextMenu(PopupMenuCommands(m_contextMenuId), this));
    if (menu)
        menu->exec(at);
}
