#pragma once

#include <QColor>
#include <QImage>
#include <QPointer>
#include <QWidget>
#include <functional>

#include "displays/azimuth_elevation_wnd.h"
#include "nmea/display_snapshot.h"

class CommandActions;
struct PixelRect;

// The colour of an unused satellite's number on a page of `background`:
// readable on the light looks and the dark alike.
QColor UnusedSatelliteLabelColor(const QColor& background);

// The first page: signal-strength bars across the top third, position, DOPs
// and satellite counts at the lower left, the sky plot at the lower right.
// Every figure comes from the snapshot when the page paints; the page keeps
// only the sky plot's trails and mask.
class FrontPanelStatusWnd : public QWidget {
public:
    explicit FrontPanelStatusWnd(QWidget* parent = nullptr);

    // Where the page reads the receiver's figures: a copy of the shared
    // snapshot taken under its lock. Without a source the page shows a
    // zeroed snapshot.
    void SetSnapshotSource(std::function<DisplaySnapshot()> source);
    // The commands its context menu shows; without them there is no menu.
    void SetCommandActions(CommandActions* commands);

    // After every fix: hands the first 64 satellites to the sky plot and
    // repaints.
    void UpdateFromSnapshot();
    void ClearSatelliteTrails();
    // A new source starts over: no satellites, no trails (the mask stays).
    void RestartSkyPlot();
    void ClearAzElMask();

    // The page as it paints at its current size.
    QImage RenderPage();

    const AzimuthElevationWnd& SkyPlot() const { return m_skyPlot; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    DisplaySnapshot CopySnapshot() const;
    void DrawTextBlock(QPainter& painter, const PixelRect& block) const;
    void DrawSignalStrip(QPainter& painter, const PixelRect& strip) const;

    AzimuthElevationWnd m_skyPlot;
    std::function<DisplaySnapshot()> m_snapshotSource;
    QPointer<CommandActions> m_commands;
};
