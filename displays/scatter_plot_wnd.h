#pragma once

#include <QColor>
#include <QImage>
#include <QPointer>
#include <QWidget>

#include "kit/pixel_geometry.h"
#include "displays/scatter_plot_model.h"

class CommandActions;

// The second page: every horizontal fix as a small square on a north-up map
// in metres around the chosen centre, with range rings, the latest fix's
// distance from the centre and the sample count. Samples above the DOP
// threshold are drawn in a warning colour. The wheel and two buttons zoom.
class ScatterPlotWnd : public QWidget {
public:
    explicit ScatterPlotWnd(QWidget* parent = nullptr);

    // Called by the main window for every fix; does not repaint.
    void AddSample(double latitude, double longitude, double altitude, double hdop, double vdop);
    void SetAveragePosition(double latitude, double longitude);
    void SetUserPosition(double latitude, double longitude, double altitude);
    void SetCenterMode(int mode);
    void SetDopThreshold(int x100);
    void ClearSamples();
    // Context menu resource; 0 shows no menu.
    void SetContextMenuId(int id) { m_contextMenuId = id; }
    void SetCommandActions(CommandActions* commands);

    // The page as it paints at its current size.
    QImage RenderPage();

    const ScatterPlotModel& Model() const { return m_model; }
    int PressedButton() const { return m_pressedButton; }
    int ContextMenuId() const { return m_contextMenuId; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void ZoomIn();
    void ZoomOut();
    void DrawZoomButton(QPainter& painter, const PixelRect& button, bool held, const QString& sign, int textHeight);

    ScatterPlotModel m_model;
    int m_contextMenuId = 0;
    QColor m_goodColor{128, 128, 255};
    QColor m_badColor{255, 128, 128};
    QColor m_lastSampleColor{255, 255, 128};
    QColor m_bgColor{255, 255, 255};
    QColor m_fgColor{128, 128, 128};
    PixelRect m_zoomInRect;
    PixelRect m_zoomOutRect;
    int m_pressedButton = 0;
    QPointer<CommandActions> m_commands;
};
