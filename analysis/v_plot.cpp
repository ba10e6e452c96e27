#include "analysis/v_plot.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <algorithm>

#include "analysis/column_merger.h"
#include "analysis/polyline_raster.h"

namespace {

QRect ToQRect(const PlotRect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }

QFont PlotFont(int tenthsOfPoint, const QPainter& painter)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(1, PointSizeToPixels(tenthsOfPoint, painter.device()->logicalDpiY())));
    return font;
}

}  // namespace

VPlot::VPlot(QWidget* parent) : QWidget(parent)
{
    static const QColor kColors[4] = {{0, 255, 0}, {255, 0, 0}, {192, 192, 255}, {255, 0, 255}};
    for (int i = 0; i < kMaxSeries; ++i) {
        m_seriesColors[static_cast<size_t>(i)] = kColors[i % 4];
        m_seriesNames[static_cast<size_t>(i)] = QStringLiteral("Untitled");
    }
}

bool VPlot::AddPoint(int series, double x, double y)
{
    if (series < 0 || series >= kMaxSeries)
        return false;
    m_series[static_cast<size_t>(series)].AddPoint(x, y);
    return true;
}

void VPlot::ClearSeries(int series)
{
    if (series >= 0 && series < kMaxSeries)
        m_series[static_cast<size_t>(series)].Clear();
}

void VPlot::paintEvent(QPaintEvent*)
{
    QImage image(size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        QPainter painter(&image);
        Draw(painter, rect());
    }
    QPainter(this).drawImage(0, 0, image);
}

void VPlot::Draw(QPainter& painter, const QRect& rect)
{
    const PlotRect area{rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
    m_layout = ComputePlotLayout(area, m_leftMarginDivisor, m_legendDivisor);
    const PlotRect& plot = m_layout.plot;
    m_scales = ComputeScales(m_series, plot);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);

    // The plot area: filled with the background and framed in the grid
    // colour, the frame on its outermost pixels.
    if (plot.Width() > 0 && plot.Height() > 0) {
        painter.fillRect(ToQRect(plot), m_backColor);
        painter.setPen(QPen(m_gridColor, 0));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRect(plot.left, plot.top, plot.Width() - 1, plot.Height() - 1));
    }

    const QFont tickFont = PlotFont(TickFontSize(plot.Height(), m_fontScale), painter);
    const QFont titleFont = PlotFont(TitleFontSize(m_layout.title.Height()), painter);

    painter.setFont(tickFont);
    DrawYGrid(painter, tickFont);
    DrawXGrid(painter, tickFont);
    DrawLegend(painter);

    painter.setFont(tickFont);
    painter.setPen(m_xLabelColor);
    painter.drawText(ToQRect(m_layout.xLabel), Qt::AlignHCenter | Qt::AlignBottom | Qt::TextSingleLine, m_xLabel);

    DrawYLabel(painter, tickFont);

    painter.setFont(titleFont);
    painter.setPen(m_titleColor);
    painter.drawText(ToQRect(m_layout.title), Qt::AlignCenter | Qt::TextSingleLine, m_title);

    painter.setClipRect(ToQRect(plot));
    DrawSeries(painter);
    painter.restore();
}

void VPlot::DrawYGrid(QPainter& painter, const QFont& tickFont)
{
    const PlotRect& plot = m_layout.plot;
    const QFontMetrics metrics(tickFont);
    const QByteArray format = m_yFormat.toLatin1();
    for (const GridLine& line : ComputeYGrid(m_scales, plot, m_yDivisions)) {
        painter.setPen(QPen(m_gridColor, 0));
        painter.drawLine(plot.left, line.pixel, plot.right - 1, line.pixel);
        const QString label = QString::fromStdString(FormatTickLabel(format.toStdString(), line.value));
        const int cx = metrics.horizontalAdvance(label);
        const int cy = metrics.height();
        painter.setPen(m_tickTextColor);
        painter.drawText(QRect(plot.left - cx - 3, line.pixel - cy / 2, 2 * cx + 6, 2 * (cy / 2)),
                         Qt::AlignLeft | Qt::AlignTop, label);
    }
}

void VPlot::DrawXGrid(QPainter& painter, const QFont& tickFont)
{
    const PlotRect& plot = m_layout.plot;
    const QFontMetrics metrics(tickFont);
    const QByteArray format = m_xFormat.toLatin1();
    for (const GridLine& line : ComputeXGrid(m_scales, plot, m_xDivisions)) {
        painter.setPen(QPen(m_gridColor, 0));
        painter.drawLine(line.pixel, plot.top, line.pixel, plot.bottom - 1);
        const QString label = QString::fromStdString(FormatTickLabel(format.toStdString(), line.value));
        const int cx = metrics.horizontalAdvance(label);
        const int cy = metrics.height();
        painter.setPen(m_tickTextColor);
        painter.drawText(QRect(line.pixel - cx / 2, plot.bottom, cx, cy), Qt::AlignLeft | Qt::AlignTop, label);
    }
}

void VPlot::DrawLegend(QPainter& painter)
{
    const PlotRect& legend = m_layout.legend;
    const int lineLength = legend.Width() / 10;
    const int textLeft = legend.left + 6 + lineLength;
    const int textWidth = std::max(0, legend.right - textLeft);
    const QFontMetrics metrics(painter.font());
    int y = 0;
    for (int i = 0; i < kMaxSeries; ++i) {
        const PlotSeries& series = m_series[static_cast<size_t>(i)];
        if (series.PointCount() == 0)
            continue;
        const QString& name = m_seriesNames[static_cast<size_t>(i)];
        const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
        const int h = metrics.boundingRect(QRect(textLeft, legend.top + y, textWidth, 1 << 20), flags, name).height();
        painter.setPen(m_tickTextColor);
        painter.drawText(QRect(textLeft, legend.top + y, textWidth, h), flags | Qt::TextDontClip, name);
        // A 5-pixel bar with round ends, smoothed: without it the ends come
        // out lopsided.
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(QPen(m_seriesColors[static_cast<size_t>(i)], 5, Qt::SolidLine, Qt::RoundCap));
        const double lineY = legend.top + y + h / 2 + 0.5;
        painter.drawLine(QPointF(legend.left + 0.5, lineY), QPointF(legend.left + lineLength + 0.5, lineY));
        painter.restore();
        y += h + h / 2;
    }
}

void VPlot::DrawYLabel(QPainter& painter, const QFont& tickFont)
{
    const PlotRect& box = m_layout.yLabel;
    const QFontMetrics metrics(tickFont);
    const int w = metrics.horizontalAdvance(m_yLabel);
    // Reads upward from its start point, centred on the box's middle.
    painter.save();
    painter.setFont(tickFont);
    painter.setPen(m_yLabelColor);
    painter.translate(box.left, box.top + box.Height() / 2 + w / 2);
    painter.rotate(-90.0);
    painter.drawText(QPoint(0, metrics.ascent()), m_yLabel);
    painter.restore();
}

void VPlot::CollectPoints(const PlotSeries& series)
{
    const PlotRect& plot = m_layout.plot;
    const PlotScales& scales = m_scales;
    m_points.clear();
    auto visit = [&](double x, double y, auto&& take) {
        if (y != y)  // not a number: no place on the plot
            return;
        const int sx = ToPixelX(scales, plot, x);
        if (!InDrawBand(plot, sx))
            return;
        take(sx, ToPixelY(scales, plot, y));
    };
    if (m_mergeColumns) {
        ColumnMerger<QPoint> merger(m_points);
        series.ForEachPoint([&](double x, double y) { visit(x, y, [&](int sx, int sy) { merger.Add(sx, sy); }); });
        merger.Finish();
    } else {
        series.ForEachPoint(
            [&](double x, double y) { visit(x, y, [&](int sx, int sy) { m_points.emplace_back(sx, sy); }); });
    }
}

void VPlot::DrawSeries(QPainter& painter)
{
    constexpr int kMarkerSeries = kMaxSeries - 1;
    for (int i = 0; i < kMaxSeries; ++i) {
        const PlotSeries& series = m_series[static_cast<size_t>(i)];
        if (series.IsEmpty())
            continue;
        painter.setPen(QPen(m_seriesColors[static_cast<size_t>(i)], 0));
        painter.setBrush(Qt::NoBrush);
        if (i != kMarkerSeries) {
            CollectPoints(series);
            m_pixels.clear();
            RasterizePolyline(m_points.data(), m_points.size(), m_layout.plot,
                              [&](int x, int y) { m_pixels.emplace_back(x, y); });
            if (!m_pixels.empty())
                painter.drawPoints(m_pixels.data(), static_cast<int>(m_pixels.size()));
            continue;
        }
        // Markers: a circle of radius 3 with a stroke from its centre to its
        // rightmost point. A marker on the very pixel of the one before it
        // would only paint the same pixels again.
        m_points.clear();
        QPoint previous(kFarPixel, kFarPixel);
        series.ForEachPoint([&](double x, double y) {
            if (y != y)
                return;
            const int sx = ToPixelX(m_scales, m_layout.plot, x);
            if (!InDrawBand(m_layout.plot, sx))
                return;
            const QPoint at(sx, ToPixelY(m_scales, m_layout.plot, y));
            if (at == previous && m_mergeColumns)
                return;
            previous = at;
            painter.drawLine(at, at + QPoint(3, 0));
            painter.drawEllipse(at, 3, 3);
        });
    }
}
