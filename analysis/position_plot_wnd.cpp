#include "analysis/position_plot_wnd.h"

#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QMenu>
#include <QPainter>
#include <algorithm>

#include "kit/command_actions.h"
#include "kit/page_painting.h"

namespace {

struct PlotSetup {
    const char* yLabel;
    const char* format;
    std::array<std::pair<int, const char*>, 4> names;
};

const PlotSetup kLatitude{"Latitude", "%.06f", {{{kSeriesRaw, "Raw"}, {kSeriesLsf, "LSF"}, {kSeriesAvg, "AVG"}, {-1, ""}}}};
const PlotSetup kLongitude{"Longitude", "%.06f", {{{kSeriesRaw, "Raw"}, {kSeriesLsf, "LSF"}, {kSeriesAvg, "AVG"}, {-1, ""}}}};
const PlotSetup kAltitude{"Altitude (M)", "%.03f", {{{kSeriesRaw, "Raw"}, {kSeriesLsf, "LSF"}, {kSeriesAvg, "AVG"}, {-1, ""}}}};
const PlotSetup kHorizontals{
    "Horizontals",
    "%.03f",
    {{{kSeriesHpl, "HPL"}, {kSeriesHfom, "HFOM"}, {kSeriesHErr, "HErr"}, {kSeriesHplViolation, "HPL Viol."}}}};

void Apply(VPlot& plot, const PlotSetup& setup)
{
    plot.m_yLabel = QString::fromLatin1(setup.yLabel);
    plot.m_yFormat = QString::fromLatin1(setup.format);
    for (const auto& [series, name] : setup.names)
        if (series >= 0)
            plot.m_seriesNames[static_cast<size_t>(series)] = QString::fromLatin1(name);
}

QRect ToQRect(const PlotRect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }

QStringList Lines(const QString& text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return lines;
}

}  // namespace

PositionPlotWnd::PositionPlotWnd(CommandActions& commands, QWidget* parent)
    : QWidget(parent), m_commands(commands)
{
    setWindowTitle(QStringLiteral("Position Plot"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    for (VPlot* plot : {&m_latitudePlot, &m_longitudePlot, &m_altitudePlot, &m_horizontalsPlot}) {
        // Drawn by the page itself, never shown as widgets of their own.
        plot->setParent(this);
        plot->hide();
        plot->m_gridColor = QColor(96, 96, 96);
    }
    Apply(m_latitudePlot, kLatitude);
    Apply(m_longitudePlot, kLongitude);
    Apply(m_altitudePlot, kAltitude);
    Apply(m_horizontalsPlot, kHorizontals);
}

void PositionPlotWnd::OnPositionUpdate(int hplCm, int hfomCm, double latitude, double longitude, double altitude)
{
    if (m_statistics.OnPositionUpdate(hplCm, hfomCm, latitude, longitude, altitude))
        update();
}

void PositionPlotWnd::ClearPlots()
{
    m_statistics.ClearPlots();
    update();
}

void PositionPlotWnd::SetUserPosition(double latitude, double longitude, double altitude)
{
    m_statistics.SetUserPosition(latitude, longitude, altitude);
}

void PositionPlotWnd::ConfigurePlot(VPlot& plot, const QColor& textColor)
{
    // Tick labels and legend stand on the page background, not on the plot's
    // black, so they take the page's readable text colour as the axis labels do.
    plot.m_titleColor = plot.m_yLabelColor = plot.m_xLabelColor = plot.m_tickTextColor = textColor;
    plot.m_yDivisions = 5;
    plot.m_fontScale = 0.5f;
    plot.m_leftMarginDivisor = 7;
    plot.m_legendDivisor = 15;
    plot.m_title.clear();
    plot.m_xLabel.clear();
}

QImage PositionPlotWnd::Render()
{
    QImage image(size(), QImage::Format_RGB32);
    // What shows where the look paints no background of its own.
    image.fill(palette().color(QPalette::Window));
    QPainter painter(&image);
    FillPageBackground(painter, rect());

    QColor background;
    QColor text;
    GetPageColors(background, text);
    const PositionPageLayout layout = ComputePositionPageLayout(width(), height());
    VPlot* plots[] = {&m_latitudePlot, &m_longitudePlot, &m_altitudePlot, &m_horizontalsPlot};
    const QColor labels = ReadablePageTextColor();
    for (size_t i = 0; i < std::size(plots); ++i) {
        ConfigurePlot(*plots[i], labels);
        plots[i]->Draw(painter, ToQRect(layout.plots[i]));
    }
    DrawTextBlock(painter, layout, text);
    return image;
}

void PositionPlotWnd::DrawTextBlock(QPainter& painter, const PositionPageLayout& layout, const QColor& textColor)
{
    const PlotRect& box = layout.textBox;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(textColor, 0));
    painter.setBrush(Qt::NoBrush);
    if (box.Width() > 1 && box.Height() > 1)
        painter.drawRoundedRect(QRect(box.left, box.top, box.Width() - 1, box.Height() - 1), 10, 10);

    if (layout.textFontPixels < 1) {
        painter.restore();
        return;
    }
    QFont font(QStringLiteral("Tahoma"));
    font.setStyleHint(QFont::SansSerif, QFont::PreferAntialias);
    font.setPixelSize(layout.textFontPixels);
    font.setWeight(QFont::Normal);
    painter.setFont(font);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    const QFontMetrics metrics(font);
    const int lineHeight = metrics.height();

    // Each value stands on its label's line, right of the widest label.
    const QStringList labels = Lines(QString::fromLatin1(kPositionLabelText));
    const QStringList values = Lines(QString::fromStdString(FormatPositionValues(m_statistics.TextValues())));
    // The text keeps off the frame by the same 5 pixels on top as on the
    // left; flush with the top edge its first line ran into the frame and the
    // rounded corner.
    constexpr int kInset = 5;
    const int labelLeft = box.left + kInset;
    const int textTop = std::min(box.top + kInset, box.bottom);
    int labelRight = labelLeft;
    for (const QString& label : labels)
        labelRight = std::max(labelRight, labelLeft + metrics.horizontalAdvance(label));
    labelRight = std::min(labelRight, box.right);
    const int labelBottom = std::min(box.bottom, textTop + lineHeight * static_cast<int>(labels.size()));

    auto drawColumn = [&](const QStringList& lines, const QRect& column) {
        painter.save();
        painter.setClipRect(column);
        for (int i = 0; i < lines.size(); ++i)
            painter.drawText(QPoint(column.left(), column.top() + i * lineHeight + metrics.ascent()), lines[i]);
        painter.restore();
    };
    drawColumn(labels, QRect(labelLeft, textTop, box.right - labelLeft, box.bottom - textTop));
    drawColumn(values, QRect(labelRight + 5, textTop, box.right - labelRight - 5, labelBottom - textTop));
    painter.restore();
}

void PositionPlotWnd::paintEvent(QPaintEvent*)
{
    const QImage image = Render();
    QPainter(this).drawImage(0, 0, image);
}

void PositionPlotWnd::contextMenuEvent(QContextMenuEvent* event)
{
    // From the keyboard the menu opens just inside the page's top-left corner.
    const QPoint at = event->reason() == QContextMenuEvent::Keyboard ? mapToGlobal(QPoint(5, 5)) : event->globalPos();
    if (m_contextMenu == nullptr) {
        m_contextMenu = m_commands.CreateContextMenu({kCmdClearPositionPlots}, this);
    }
    m_contextMenu->popup(at);
    event->accept();
}
