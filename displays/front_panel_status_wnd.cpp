#include "displays/front_panel_status_wnd.h"

#include <algorithm>
#include <cmath>

#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QMenu>
#include <QPainter>
#include <memory>

#include "kit/command_actions.h"
#include "displays/front_panel_geometry.h"
#include "kit/fonts.h"
#include "kit/page_menus.h"
#include "kit/page_painting.h"
#include "kit/page_shapes.h"
#include "displays/satellite_pictures.h"

namespace {

const QColor kUnusedLabelColor(192, 192, 192);
const QColor kSnrTextColor(255, 255, 255);

}  // namespace

QColor UnusedSatelliteLabelColor(const QColor& background)
{
    // Silver where it reads; on a light page it all but vanishes: there, and
    // on any page where it would be faint, the nearest grey away from the
    // background that keeps a contrast of 4.5:1 (what text needs to be read).
    const auto luminance = [](const QColor& c) {
        const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double b = luminance(background);
    const auto contrast = [&](const QColor& c) {
        const double l = luminance(c);
        return (std::max(l, b) + 0.05) / (std::min(l, b) + 0.05);
    };
    if (contrast(kUnusedLabelColor) >= 4.5)
        return kUnusedLabelColor;
    const bool light = background.lightness() > 128;
    for (int grey = kUnusedLabelColor.red(); grey >= 0 && grey <= 255; grey += light ? -4 : 4) {
        const QColor c(grey, grey, grey);
        if (contrast(c) >= 4.5)
            return c;
    }
    return light ? QColor(0, 0, 0) : QColor(255, 255, 255);
}

namespace {

// Lines of text one under the other, each clipped to the column.
void DrawLines(QPainter& painter, const PixelRect& column, const std::vector<std::string>& lines, int lineHeight)
{
    int top = column.top;
    for (const std::string& line : lines) {
        if (top >= column.bottom)
            break;
        const QRect box(column.left, top, column.Width(), std::min(lineHeight, column.bottom - top));
        painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, QString::fromStdString(line));
        top += lineHeight;
    }
}

}  // namespace

FrontPanelStatusWnd::FrontPanelStatusWnd(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_skyPlot.SetSatelliteBitmaps(kUsedSatellitePicture, kUnusedSatellitePicture);
}

void FrontPanelStatusWnd::SetSnapshotSource(std::function<DisplaySnapshot()> source)
{
    m_snapshotSource = std::move(source);
}

void FrontPanelStatusWnd::SetCommandActions(CommandActions* commands)
{
    m_commands = commands;
}

DisplaySnapshot FrontPanelStatusWnd::CopySnapshot() const
{
    return m_snapshotSource ? m_snapshotSource() : DisplaySnapshot{};
}

void FrontPanelStatusWnd::UpdateFromSnapshot()
{
    m_skyPlot.UpdateSatellites(SkySlotsFromSnapshot(CopySnapshot()));
    update();
}

void FrontPanelStatusWnd::RestartSkyPlot()
{
    // Empty slots first: trails grow from where each slot was last.
    m_skyPlot.UpdateSatellites(SkySatellites{});
    m_skyPlot.ClearTrails();
    update();
}

void FrontPanelStatusWnd::ClearSatelliteTrails()
{
    m_skyPlot.ClearTrails();
    update();
}

void FrontPanelStatusWnd::ClearAzElMask()
{
    m_skyPlot.ClearMask();
    update();
}

QImage FrontPanelStatusWnd::RenderPage()
{
    QImage image(size(), QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.fill(palette().color(backgroundRole()));
    QPainter painter(&image);
    const FrontPanelLayout layout = FrontPanelLayoutFor(width(), height());

    FillPageBackground(painter, rect());
    DrawTextBlock(painter, layout.textBlock);

    QColor bg, fg;
    GetPageColors(bg, fg);
    m_skyPlot.SetColors(fg, UnusedSatelliteLabelColor(bg), bg, fg, fg);
    m_skyPlot.Draw(painter, ToQRect(layout.skyPlot));

    DrawSignalStrip(painter, layout.signalStrip);
    return image;
}

void FrontPanelStatusWnd::paintEvent(QPaintEvent*)
{
    const QImage image = RenderPage();
    QPainter(this).drawImage(0, 0, image);
}

void FrontPanelStatusWnd::DrawTextBlock(QPainter& painter, const PixelRect& block) const
{
    QColor bg, fg;
    GetPageColors(bg, fg);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(fg, 1));
    painter.setBrush(bg);
    DrawBoxRoundRect(painter, block, kPanelCornerSize, kPanelCornerSize);

    const QFont font = PageFont(QStringLiteral("Tahoma"), TextBlockFontHeight(block));
    const QFontMetrics metrics(font);
    painter.setFont(font);
    const std::vector<std::string> labels = FrontPanelLabelLines();
    const TextBlockColumns columns = TextBlockColumnsFor(block, labels, MeasureWith(metrics));
    DrawLines(painter, columns.labels, labels, metrics.height());
    DrawLines(painter, columns.values, FrontPanelValueLines(CopySnapshot()), metrics.height());
}

void FrontPanelStatusWnd::DrawSignalStrip(QPainter& painter, const PixelRect& stripRect) const
{
    QColor bg, fg;
    GetPageColors(bg, fg);
    const QFont font = PageFont(QStringLiteral("Tahoma"), SignalStripFontHeight(stripRect));
    const QFontMetrics metrics(font);
    painter.setFont(font);
    const SignalStrip strip = LayoutSignalStrip(stripRect, CopySnapshot(), MeasureWith(metrics));

    const QPen framePen(fg, 1);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(framePen);
    painter.setBrush(bg);
    DrawBoxRoundRect(painter, stripRect, kPanelCornerSize, kPanelCornerSize);

    for (const SignalBar& bar : strip.bars) {
        painter.setBrush(bg);
        DrawBoxRectangle(painter, bar.frame);
        painter.setBrush(ToQColor(bar.fillColor));
        DrawBoxRectangle(painter, bar.fill);
        if (bar.snrShown) {
            painter.setPen(kSnrTextColor);
            painter.drawText(ToQRect(bar.fill), Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine,
                             QString::fromStdString(bar.snrText));
        }
        painter.setPen(framePen);
        painter.drawText(ToQRect(bar.prnBox), Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine,
                         QString::fromStdString(bar.prnText));
    }

    for (const LegendEntry& entry : strip.legend) {
        painter.setBrush(ToQColor(entry.color));
        DrawBoxRectangle(painter, entry.box);
        const QString text = QString::fromStdString(entry.text);
        painter.drawText(QRect(entry.textAt.x, entry.textAt.y, metrics.horizontalAdvance(text) + 1, metrics.height()),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
    }
}

void FrontPanelStatusWnd::contextMenuEvent(QContextMenuEvent* event)
{
    if (m_commands == nullptr)
        return;
    const QPoint at =
        event->reason() == QContextMenuEvent::Keyboard ? mapToGlobal(QPoint(5, 5)) : event->globalPos();
    const std::unique_ptr<QMenu> menu(m_commands->CreateContextMenu(PopupMenuCommands(kFrontPanelMenuId), this));
    if (menu)
        menu->exec(at);
}
