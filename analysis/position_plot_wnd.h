#pragma once

#include <QImage>
#include <QWidget>

#include "analysis/position_page_layout.h"
#include "analysis/position_statistics.h"
#include "analysis/v_plot.h"

class CommandActions;
class QMenu;

// The "Position Plot" page: a text block with the last fix, its trend
// values, the averages, the sample count and the integrity figures, beside
// four plots of latitude, longitude, altitude and the horizontal integrity
// figures over time.
class PositionPlotWnd : public QWidget {
    Q_OBJECT

public:
    explicit PositionPlotWnd(CommandActions& commands, QWidget* parent = nullptr);

    // One fix from the display snapshot; repaints when the fix is accepted.
    void OnPositionUpdate(int hplCm, int hfomCm, double latitude, double longitude, double altitude);
    // Empties the plots and starts the statistics afresh, then repaints.
    void ClearPlots();
    // The reference position for the horizontal error; the caller repaints.
    void SetUserPosition(double latitude, double longitude, double altitude);

    const PositionStatistics& Statistics() const { return m_statistics; }
    const VPlot& LatitudePlot() const { return m_latitudePlot; }
    const VPlot& LongitudePlot() const { return m_longitudePlot; }
    const VPlot& AltitudePlot() const { return m_altitudePlot; }
    const VPlot& HorizontalsPlot() const { return m_horizontalsPlot; }

    // The whole page as it paints at its current size.
    QImage Render();

protected:
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void ConfigurePlot(VPlot& plot, const QColor& textColor);
    void DrawTextBlock(QPainter& painter, const PositionPageLayout& layout, const QColor& textColor);

    VPlot m_latitudePlot;
    VPlot m_longitudePlot;
    VPlot m_altitudePlot;
    VPlot m_horizontalsPlot;
    PositionStatistics m_statistics{{&m_latitudePlot, &m_longitudePlot, &m_altitudePlot, &m_horizontalsPlot}};
    CommandActions& m_commands;
    QMenu* m_contextMenu = nullptr;
};
