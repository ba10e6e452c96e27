#pragma once

#include <QColor>
#include <QRect>

#include "displays/sky_plot_history.h"

class QPainter;

// The polar sky chart of the front panel: horizon circle, zenith at the
// centre, north up, the satellites of the last fix with their trails and the
// azimuth/elevation mask. A drawing component, not a window: the page that
// holds it sets its colours and draws it into its own image.
class AzimuthElevationWnd {
public:
    // Paints the whole plot into `rect`; the painter's state is restored.
    void Draw(QPainter& painter, const QRect& rect) const;

    // Replaces the satellites, lowers the mask and extends the trails.
    void UpdateSatellites(const SkySatellites& entries) { m_history.UpdateSatellites(entries); }
    void ClearTrails() { m_history.ClearTrails(); }
    void ClearMask() { m_history.ClearMask(); }

    void SetColors(const QColor& usedLabel, const QColor& unusedLabel, const QColor& disc, const QColor& horizon,
                   const QColor& grid);
    // Picture ids for used and other satellites; 0 draws a dot.
    void SetSatelliteBitmaps(int usedId, int unusedId);

    const SkyPlotHistory& History() const { return m_history; }

private:
    SkyPlotHistory m_history;
    int m_usedBitmapId = 0;
    int m_unusedBitmapId = 0;
    QColor m_usedLabelColor{0, 0, 128};
    QColor m_unusedLabelColor{128, 128, 128};
    QColor m_discColor{192, 192, 255};
    QColor m_horizonColor{128, 128, 255};
    QColor m_gridColor{224, 224, 255};
};
