#pragma once

#include <QColor>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <array>
#include <vector>

#include "analysis/plot_geometry.h"
#include "analysis/plot_series.h"
#include "analysis/plot_target.h"

class QPainter;

// An X/Y line plot of up to 16 series over automatically scaled ranges, with
// frame, grid, tick labels, legend, axis labels and title. Every point is
// kept until its series is cleared; the ranges always take in all of them.
// Shown on its own it fills its client area; an owner can instead call Draw
// with a rectangle of its own painting.
class VPlot : public QWidget, public PlotTarget {
    Q_OBJECT

public:
    explicit VPlot(QWidget* parent = nullptr);

    bool AddPoint(int series, double x, double y) override;
    void ClearSeries(int series) override;

    // Draws the whole plot into `rect`. Outside the plot area only texts and
    // lines are drawn: the owner paints the background first.
    void Draw(QPainter& painter, const QRect& rect);

    const PlotSeries& Series(int series) const { return m_series[static_cast<size_t>(series)]; }
    // The layout and scales of the last Draw.
    const PlotLayout& Layout() const { return m_layout; }
    const PlotScales& Scales() const { return m_scales; }

    // Set by the owner before drawing.
    std::array<QColor, kMaxSeries> m_seriesColors;
    std::array<QString, kMaxSeries> m_seriesNames;
    int m_yDivisions = 10;
    int m_xDivisions = 10;
    QString m_yFormat = QStringLiteral("%G");
    QString m_xFormat = QStringLiteral("%G");
    QString m_title = QStringLiteral("Untitled");
    QString m_yLabel = QStringLiteral("Y-Axis");
    QString m_xLabel = QStringLiteral("X-Axis");
    QColor m_backColor{0, 0, 0};
    QColor m_gridColor{255, 255, 255};
    QColor m_tickTextColor{255, 255, 255};
    QColor m_titleColor{255, 255, 255};
    QColor m_yLabelColor{255, 255, 255};
    QColor m_xLabelColor{255, 255, 255};
    int m_leftMarginDivisor = 8;
    int m_legendDivisor = 5;
    float m_fontScale = 0.24f;
    // Of each run of consecutive points on one pixel column only the first,
    // lowest, highest and last are drawn; the line covers the same pixels,
    // and a day of fixes paints in a fraction of the time.
    bool m_mergeColumns = true;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void DrawYGrid(QPainter& painter, const QFont& tickFont);
    void DrawXGrid(QPainter& painter, const QFont& tickFont);
    void DrawLegend(QPainter& painter);
    void DrawYLabel(QPainter& painter, const QFont& tickFont);
    void DrawSeries(QPainter& painter);
    void CollectPoints(const PlotSeries& series);

    std::array<PlotSeries, kMaxSeries> m_series;
    PlotLayout m_layout;
    PlotScales m_scales;
    // Reused from paint to paint: the vertices of a series, its pixels.
    std::vector<QPoint> m_points;
    std::vector<QPoint> m_pixels;
};
