#include "displays/azimuth_elevation_wnd.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>
#include <vector>

#include "kit/fonts.h"
#include "kit/page_shapes.h"
#include "displays/satellite_pictures.h"
#include "displays/sky_plot_geometry.h"

namespace {

// The mask only tints what it covers.
constexpr int kMaskFillAlpha = 16;

QPoint ToQPoint(PixelPoint p) { return {p.x, p.y}; }

}  // namespace

void AzimuthElevationWnd::SetColors(const QColor& usedLabel, const QColor& unusedLabel, const QColor& disc,
                                     const QColor& horizon, const QColor& grid)
{
    m_usedLabelColor = usedLabel;
    m_unusedLabelColor = unusedLabel;
    m_discColor = disc;
    m_horizonColor = horizon;
    m_gridColor = grid;
}

void AzimuthElevationWnd::SetSatelliteBitmaps(int usedId, int unusedId)
{
    m_usedBitmapId = usedId;
    m_unusedBitmapId = unusedId;
}

void AzimuthElevationWnd::Draw(QPainter& painter, const QRect& rect) const
{
    const SkyPlotSquare plot = FitSkyPlotSquare(ToPixelRect(rect));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);

    // Horizon disc.
    painter.setPen(QPen(m_horizonColor, 1));
    painter.setBrush(m_discColor);
    DrawBoxEllipse(painter, plot.square);

    // Cross lines and the 45 degree ring.
    const QPen gridPen(m_gridColor, 1);
    painter.setPen(gridPen);
    for (const SkyPlotLine& line : SkyPlotCrossLines(plot))
        DrawLineTo(painter, line.from, line.to);
    painter.setBrush(Qt::NoBrush);
    DrawBoxEllipse(painter, FortyFiveDegreeRing(plot));

    // Compass letters on the disc colour, hiding the cross lines beneath.
    const QFont font = PageFont(QStringLiteral("Tahoma"), SkyPlotFontHeight(plot));
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const TextMeasure measure = MeasureWith(metrics);
    for (const CompassLetter& letter : CompassLetters(plot, measure)) {
        const QRect box = ToQRect(letter.box);
        painter.fillRect(box, m_discColor);
        painter.drawText(box, Qt::AlignCenter | Qt::TextDontClip | Qt::TextSingleLine, QString(QChar(letter.letter)));
    }

    // Mask: outline, then a faint fill of the same polygon.
    const std::vector<PixelPoint> maskPoints = MaskPolygon(plot, m_history.Mask());
    if (!maskPoints.empty()) {
        QPolygon polygon;
        polygon.reserve(static_cast<qsizetype>(maskPoints.size()));
        for (PixelPoint p : maskPoints)
            polygon << ToQPoint(p);
        if (polygon.size() > 1)
            painter.drawPolygon(polygon);
        QColor tint = m_gridColor;
        tint.setAlpha(kMaskFillAlpha);
        painter.setPen(Qt::NoPen);
        painter.setBrush(tint);
        painter.drawPolygon(polygon, Qt::OddEvenFill);
        painter.setPen(gridPen);
        painter.setBrush(Qt::NoBrush);
    }

    // Trails, one pixel per stored point.
    if (m_history.TrailCount() > 0) {
        QPolygon dots;
        dots.reserve(static_cast<qsizetype>(m_history.TrailCount()));
        m_history.ForEachTrailPoint(
            [&](const TrailPoint& t) { dots << ToQPoint(SkyPoint(plot, t.azimuth, t.elevation)); });
        painter.drawPoints(dots);
    }

    // Satellites in slot order, pictures or dots with their numbers below.
    const QImage usedPicture = SatellitePicture(m_usedBitmapId);
    const QImage unusedPicture = SatellitePicture(m_unusedBitmapId);
    for (const SkySatellite& satellite : m_history.Satellites()) {
        if (satellite.prn == 0)
            continue;
        const bool used = satellite.used == 1;
        const QImage& picture = used ? usedPicture : unusedPicture;
        const QColor& color = used ? m_usedLabelColor : m_unusedLabelColor;
        const TextExtent pictureSize =
            picture.isNull() ? TextExtent{} : TextExtent{picture.width(), picture.height()};
        const SatelliteSymbol symbol = PlaceSatelliteSymbol(plot, satellite, pictureSize, measure);
        if (symbol.picture) {
            painter.drawImage(QPoint(symbol.symbol.left, symbol.symbol.top), picture);
        } else {
            painter.setPen(QPen(color, 1));
            painter.setBrush(color);
            DrawBoxEllipse(painter, symbol.symbol);
        }
        painter.setPen(color);
        painter.drawText(ToQRect(symbol.label), Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip,
                         QString::fromStdString(symbol.text));
    }
    painter.restore();
}
