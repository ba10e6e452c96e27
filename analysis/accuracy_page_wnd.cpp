#include "analysis/accuracy_page_wnd.h"

#include <QContextMenuEvent>
#include <QFile>
#include <QPainter>
#include <QSaveFile>
#include <algorithm>
#include <cmath>

#include "analysis/accuracy_json.h"
#include "kit/command_actions.h"
#include "kit/fonts.h"
#include "kit/page_painting.h"
#include "kit/page_shapes.h"

namespace {

QPoint ToQPoint(const PixelPoint& p) { return QPoint(p.x, p.y); }

const QColor kErrorColor(40, 120, 230);
const QColor kEstimateColor(240, 140, 20);
const QColor kBiasColor(220, 30, 30);
const QColor kAlertLimitColor(220, 30, 30);
const QColor kQualityMarkColor(110, 110, 110);  // grey: a mark, not a measurement
const QColor kCircleColors[] = {QColor(30, 170, 60), QColor(240, 140, 20), QColor(190, 40, 190)};

}  // namespace

QColor StanfordCellColor(double shade)
{
    const double s = std::clamp(shade, 0.0, 1.0);
    return QColor(QColor::fromHsv(static_cast<int>(std::lround(220.0 * (1.0 - s))), 230, 235).rgb());
}

QColor AccuracyCircleColor(size_t circle) { return kCircleColors[circle % 3]; }
QColor AccuracyQualityMarkColor() { return kQualityMarkColor; }

AccuracyPageWnd::AccuracyPageWnd(QWidget* parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Accuracy"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_sessionClock.start();
}

void AccuracyPageWnd::OnPositionUpdate(int countedQuality, double latitude, double longitude, double altitude, int hplCm,
                                    int hfomCm, std::optional<double> gstSigmaMetres)
{
    std::optional<double> estimate = gstSigmaMetres;
    if (gstSigmaMetres)
        m_gstSeen = true;
    else if (hfomCm > 0)
        estimate = hfomCm / 100.0;
    m_tracker.Add({countedQuality, latitude, longitude, altitude, hplCm / 100.0}, estimate,
                  static_cast<double>(m_sessionClock.elapsed()) / 1000.0);
    if (isVisible())
        update();
}

void AccuracyPageWnd::StartSession()
{
    m_tracker.StartSession();
    m_sessionClock.restart();
    m_gstSeen = false;
    update();
}

void AccuracyPageWnd::MarkCorrectionsStarted()
{
    m_tracker.MarkCorrectionsStarted(static_cast<double>(m_sessionClock.elapsed()) / 1000.0);
    update();
}

void AccuracyPageWnd::Reset()
{
    m_tracker.Clear();
    update();
}

void AccuracyPageWnd::SetUserPosition(double latitude, double longitude, double altitude)
{
    const bool none = latitude == 0.0 && longitude == 0.0 && altitude == 0.0;
    m_tracker.SetTruth(none ? std::nullopt : std::optional(GeodeticPosition{latitude, longitude, altitude}));
    update();
}

void AccuracyPageWnd::SetAlertLimit(double metres)
{
    m_tracker.SetAlertLimit(metres);
    update();
}

QImage AccuracyPageWnd::Render(const AccuracyReport* exact)
{
    QImage image(size(), QImage::Format_RGB32);
    image.fill(palette().color(QPalette::Window));
    QPainter painter(&image);
    FillPageBackground(painter, rect());
    const QFont font = PageFont(QStringLiteral("Tahoma"), AccuracyPageGeometry::kFontPixels);
    QFont bold = font;
    bold.setBold(true);
    // Headings are bold: measured in bold, every text fits where it is put.
    const AccuracyPageGeometry g = ComputeAccuracyPageGeometry(
        width(), height(), m_tracker, m_gstSeen ? "GST sigma" : "HFOM", exact, MeasureWith(QFontMetrics(bold)));
    Paint(painter, g);
    return image;
}

void AccuracyPageWnd::Paint(QPainter& painter, const AccuracyPageGeometry& g)
{
    QColor background, text;
    GetPageColors(background, text);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);

    // Frames of the card and the plots.
    painter.setPen(QPen(text, 0));
    for (const PixelRect& r : {g.card, g.scatterPlot, g.cdfPlot, g.stanfordPlot, g.timelinePlot})
        if (r.Width() > 1 && r.Height() > 1)
            painter.drawRect(QRect(r.left, r.top, r.Width() - 1, r.Height() - 1));

    // The Stanford diagram: cells, then the lines over them.
    for (const AccuracyPageGeometry::Cell& cell : g.stanfordCells)
        painter.fillRect(ToQRect(cell.rect), StanfordCellColor(cell.shade));
    for (const AccuracyPageGeometry::Cell& cell : g.stanfordLegend)
        painter.fillRect(ToQRect(cell.rect), StanfordCellColor(cell.shade));
    painter.setClipRect(ToQRect(g.stanfordPlot));
    painter.setPen(QPen(text, 0));
    painter.drawLine(ToQPoint(g.diagonal.from), ToQPoint(g.diagonal.to));
    painter.setPen(QPen(kAlertLimitColor, 0, Qt::DashLine));
    painter.drawLine(ToQPoint(g.alertLimitAcross.from), ToQPoint(g.alertLimitAcross.to));
    painter.drawLine(ToQPoint(g.alertLimitUp.from), ToQPoint(g.alertLimitUp.to));

    // The scatter: a sample of the fixes, the circles about the reference,
    // the bias cross.
    painter.setClipRect(ToQRect(g.scatterPlot));
    QColor dot = text;
    dot.setAlpha(110);
    painter.setPen(QPen(dot, 0));
    for (const PixelPoint& p : g.scatterDots)
        painter.drawPoint(p.x, p.y);
    for (size_t i = 0; i < g.circles.size(); ++i) {
        const AccuracyPageGeometry::Circle& c = g.circles[i];
        painter.setPen(QPen(AccuracyCircleColor(i), 0));
        painter.drawEllipse(ToQPoint(c.centre), c.radius, c.radius);
    }
    painter.setPen(QPen(kBiasColor, 0));
    for (const AccuracyPageGeometry::Segment& s : g.biasCross)
        painter.drawLine(ToQPoint(s.from), ToQPoint(s.to));

    painter.setClipRect(ToQRect(g.timelinePlot));
    // The estimate over the error: a band of errors under a line that should
    // stand above most of it.
    for (const PixelRect& r : g.errorBars)
        painter.fillRect(ToQRect(r), kErrorColor);
    for (const PixelRect& r : g.estimateBars)
        painter.fillRect(ToQRect(r), kEstimateColor);
    painter.setPen(QPen(kQualityMarkColor, 0, Qt::DashLine));
    for (const AccuracyPageGeometry::QualityMark& m : g.qualityMarks)
        painter.drawLine(m.x, g.timelinePlot.top, m.x, g.timelinePlot.bottom - 1);

    painter.setClipRect(ToQRect(g.cdfPlot));
    if (g.cdfLine.size() > 1) {
        std::vector<QPoint> points;
        points.reserve(g.cdfLine.size());
        for (const PixelPoint& p : g.cdfLine)
            points.push_back(ToQPoint(p));
        painter.setPen(QPen(kErrorColor, 0));
        painter.drawPolyline(points.data(), static_cast<int>(points.size()));
    }
    painter.setClipping(false);

    // Texts last, over everything.
    QFont font = PageFont(QStringLiteral("Tahoma"), AccuracyPageGeometry::kFontPixels);
    QFont bold = font;
    bold.setBold(true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    const QFontMetrics metrics(font);
    auto draw = [&](const AccuracyPageGeometry::Text& t) {
        painter.setFont(t.heading ? bold : font);
        if (t.boxed) {
            const QString s = QString::fromStdString(t.text);
            painter.fillRect(QRect(t.at.x - 2, t.at.y, metrics.horizontalAdvance(s) + 4, metrics.height()), background);
        }
        painter.drawText(t.at.x, t.at.y + metrics.ascent(), QString::fromStdString(t.text));
    };
    painter.setPen(text);
    for (const AccuracyPageGeometry::Text& t : g.cardLines)
        draw(t);
    for (const AccuracyPageGeometry::Text& t : g.labels)
        draw(t);
    // The circles' names in the title line, in their colours.
    for (size_t i = 0; i < g.circles.size(); ++i) {
        painter.setPen(AccuracyCircleColor(i));
        painter.setFont(font);
        const AccuracyPageGeometry::Circle& c = g.circles[i];
        painter.drawText(c.labelAt.x, c.labelAt.y + metrics.ascent(), QString::fromStdString(c.label));
    }
    painter.setPen(kQualityMarkColor);
    for (const AccuracyPageGeometry::QualityMark& m : g.qualityMarks)
        painter.drawText(m.x + 2, g.timelinePlot.bottom - 3, QString::number(m.quality));
    painter.setPen(kErrorColor);
    painter.drawText(g.timelinePlot.left + 4, g.timelinePlot.top + metrics.ascent() + 2, QStringLiteral("HErr"));
    painter.setPen(kEstimateColor);
    painter.drawText(g.timelinePlot.left + 44, g.timelinePlot.top + metrics.ascent() + 2,
                     QString::fromLatin1(m_gstSeen ? "GST sigma" : "HFOM"));
}

void AccuracyPageWnd::contextMenuEvent(QContextMenuEvent* event)
{
    if (m_commands == nullptr)
        return;
    // From the keyboard the menu opens just inside the page's top-left corner.
    const QPoint at = event->reason() == QContextMenuEvent::Keyboard ? mapToGlobal(QPoint(5, 5)) : event->globalPos();
    m_commands->PopUpContextMenu({kCmdResetAccuracy, kCmdExportAccuracyReport, kCmdSetAlertLimit}, this, at);
    event->accept();
}

void AccuracyPageWnd::paintEvent(QPaintEvent*)
{
    const QImage image = Render();
    QPainter(this).drawImage(0, 0, image);
}

QString AccuracyPageWnd::ExportReport(const QString& basePath)
{
    const QString pngPath = basePath + QStringLiteral(".png");
    const QString jsonPath = basePath + QStringLiteral(".json");
    // The picture and the figures alike: both exact.
    const AccuracyReport report = m_tracker.ExactReport();
    if (!Render(&report).save(pngPath, "PNG"))
        return QStringLiteral("Cannot write %1.").arg(pngPath);
    QSaveFile json(jsonPath);
    const std::string text = AccuracyReportToJson(report) + "\n";
    if (!json.open(QIODevice::WriteOnly)
        || json.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size())
        || !json.commit())
        return QStringLiteral("Cannot write %1: %2").arg(jsonPath, json.errorString());
    return {};
}
