#include "compare/compare_page_wnd.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPainter>
#include <QTimer>

#include "kit/fonts.h"
#include "kit/page_painting.h"

namespace {

enum Choice : int { kUserPosition = -1, kTrajectoryFile = -2, kOpenFile = -3 };

QRect ToQRect(const PixelRect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }

const QColor kAbove(40, 170, 70);
const QColor kBelow(220, 50, 40);

}  // namespace

ComparePageWnd::ComparePageWnd(QWidget* parent)
    : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Compare"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_chooser = new QComboBox(this);
    m_chooser->setObjectName(QStringLiteral("CompareReference"));
    m_chooser->setToolTip(QStringLiteral("The reference the receivers are measured against"));
    connect(m_chooser, &QComboBox::activated, this, &ComparePageWnd::OnChoice);
    FillChooser();
    m_chooser->move(8, 4);
    // The figures are exact, over every fix: worth computing twice a second,
    // not at every fix of a fast receiver.
    m_repaint = new QTimer(this);
    m_repaint->setSingleShot(true);
    m_repaint->setInterval(500);
    connect(m_repaint, &QTimer::timeout, this, qOverload<>(&QWidget::update));
}

QColor ComparePageWnd::ReceiverColour(int index) const
{
    const std::vector<const CompareFeed::ReceiverEntry*> tested = m_feed.UnderTest();
    if (index < 0 || index >= static_cast<int>(tested.size()))
        return Qt::gray;
    const auto it = m_colours.find(tested[static_cast<size_t>(index)]->id);
    return it != m_colours.end() ? it->second : QColor(Qt::gray);
}

void ComparePageWnd::AddFix(int receiverId, const QString& name, const QColor& colour, const DisplaySnapshot& display,
                            const GnssSnapshot& gnss, std::chrono::steady_clock::time_point readTime)
{
    const bool known = m_feed.Receiver(receiverId) != nullptr;
    m_colours[receiverId] = colour;
    const double seconds = std::chrono::duration<double>(readTime.time_since_epoch()).count();
    m_feed.AddFix(receiverId, name.toStdString(), display, gnss, seconds);
    if (!known)
        FillChooser();
    if (isVisible() && !m_repaint->isActive())
        m_repaint->start();
}

void ComparePageWnd::Restart()
{
    m_feed.Clear();
    update();
}

void ComparePageWnd::SetUserPosition(double latitude, double longitude, double altitude)
{
    const bool none = latitude == 0.0 && longitude == 0.0 && altitude == 0.0;
    m_userPosition = none ? std::nullopt : std::optional(GeodeticPosition{latitude, longitude, altitude});
    if (m_feed.Kind() == CompareFeed::ReferenceKind::Point || m_feed.Kind() == CompareFeed::ReferenceKind::None)
        UseUserPosition();
}

void ComparePageWnd::UseUserPosition()
{
    m_feed.SetPointReference(m_userPosition);
    FillChooser();
    update();
}

QString ComparePageWnd::UseTrajectoryFile(const QString& path)
{
    TrajectoryFile file = ReadTrajectoryFile(path.toStdString());
    if (!file.error.empty())
        return QStringLiteral("Cannot read %1: %2").arg(path, QString::fromStdString(file.error));
    if (file.samples.empty())
        return QStringLiteral("%1 has no point with a time and a position.").arg(path);
    m_trajectoryPath = path;
    m_feed.SetTrajectoryReference(QFileInfo(path).fileName().toStdString(), std::move(file.samples));
    FillChooser();
    update();
    return {};
}

void ComparePageWnd::UseReceiver(int receiverId)
{
    m_feed.SetReceiverReference(receiverId);
    FillChooser();
    update();
}

void ComparePageWnd::FillChooser()
{
    m_filling = true;
    m_chooser->clear();
    m_chooser->addItem(m_userPosition ? QStringLiteral("Reference: user position")
                                      : QStringLiteral("Reference: user position (none set)"),
                       kUserPosition);
    if (!m_trajectoryPath.isEmpty())
        m_chooser->addItem(QStringLiteral("Reference: %1").arg(QFileInfo(m_trajectoryPath).fileName()), kTrajectoryFile);
    m_chooser->addItem(QStringLiteral("Reference: trajectory file..."), kOpenFile);
    for (const CompareFeed::ReceiverEntry& r : m_feed.Receivers())
        m_chooser->addItem(QStringLiteral("Reference: receiver %1").arg(QString::fromStdString(r.name)), r.id);
    int current = 0;
    switch (m_feed.Kind()) {
    case CompareFeed::ReferenceKind::Trajectory:
        current = m_chooser->findData(kTrajectoryFile);
        break;
    case CompareFeed::ReferenceKind::Receiver:
        current = m_chooser->findData(*m_feed.ReferenceReceiver());
        break;
    default:
        break;
    }
    m_chooser->setCurrentIndex(std::max(current, 0));
    m_chooser->adjustSize();
    m_filling = false;
}

void ComparePageWnd::OnChoice(int index)
{
    if (m_filling)
        return;
    const int choice = m_chooser->itemData(index).toInt();
    if (choice == kUserPosition) {
        UseUserPosition();
    } else if (choice == kTrajectoryFile) {
        UseTrajectoryFile(m_trajectoryPath);
    } else if (choice == kOpenFile) {
        const QString path = QFileDialog::getOpenFileName(
            this, QStringLiteral("Reference Trajectory"), QString(),
            QStringLiteral("Trajectories (*.txt *.nmea *.log *.csv *.gpx *.pos);;All files (*)"));
        const QString problem = path.isEmpty() ? QString() : UseTrajectoryFile(path);
        if (!problem.isEmpty())
            QMessageBox::warning(this, QStringLiteral("Compare"), problem);
        FillChooser();
    } else {
        UseReceiver(choice);
    }
}

void ComparePageWnd::resizeEvent(QResizeEvent*) { m_chooser->move(8, 4); }

void ComparePageWnd::paintEvent(QPaintEvent*)
{
    const QImage image = Render();
    QPainter(this).drawImage(0, 0, image);
}

QImage ComparePageWnd::Render()
{
    QImage image(size(), QImage::Format_RGB32);
    image.fill(palette().color(QPalette::Window));
    QPainter painter(&image);
    FillPageBackground(painter, rect());
    Paint(painter, ComputeComparePageGeometry(width(), height(), m_feed));
    painter.end();
    // The chooser is a child widget: drawn over the page where it stands.
    m_chooser->render(&image, m_chooser->pos());
    return image;
}

void ComparePageWnd::Paint(QPainter& painter, const ComparePageGeometry& g)
{
    QColor background, text;
    GetPageColors(background, text);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(text, 0));
    std::vector<PixelRect> frames{g.timePlot, g.cdfPlot, g.signalPlot};
    frames.insert(frames.end(), g.scatterPlots.begin(), g.scatterPlots.end());
    for (const PixelRect& r : frames)
        if (r.Width() > 1 && r.Height() > 1)
            painter.drawRect(QRect(r.left, r.top, r.Width() - 1, r.Height() - 1));
    QColor faint = text;
    faint.setAlpha(90);
    for (const PixelRect& r : g.scatterCrosses)
        painter.fillRect(ToQRect(r), faint);
    const auto polyline = [&](const std::vector<PixelPoint>& points) {
        std::vector<QPoint> q;
        q.reserve(points.size());
        for (const PixelPoint& p : points)
            q.emplace_back(p.x, p.y);
        if (q.size() == 1)
            painter.drawPoint(q.front());
        else
            painter.drawPolyline(q.data(), static_cast<int>(q.size()));
    };
    painter.setClipRect(ToQRect(g.timePlot));
    for (const ComparePageGeometry::Line& line : g.timeLines) {
        painter.setPen(QPen(ReceiverColour(line.receiver), 0));
        polyline(line.points);
    }
    painter.setClipRect(ToQRect(g.cdfPlot));
    for (const ComparePageGeometry::Line& line : g.cdfLines) {
        painter.setPen(QPen(ReceiverColour(line.receiver), 0));
        polyline(line.points);
    }
    painter.setClipping(false);
    for (const ComparePageGeometry::Dots& dots : g.scatterDots) {
        painter.setPen(QPen(ReceiverColour(dots.receiver), 0));
        for (const PixelPoint& p : dots.points)
            painter.drawPoint(p.x, p.y);
    }
    painter.fillRect(ToQRect(g.signalZero), faint);
    for (const ComparePageGeometry::Bar& bar : g.signalBars)
        painter.fillRect(ToQRect(bar.rect), bar.positive ? kAbove : kBelow);

    QFont font = PageFont(QStringLiteral("Tahoma"), ComparePageGeometry::kFontPixels);
    QFont bold = font;
    bold.setBold(true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    const QFontMetrics metrics(font);
    for (const ComparePageGeometry::Text& t : g.texts) {
        painter.setFont(t.heading ? bold : font);
        painter.setPen(t.receiver >= 0 ? ReceiverColour(t.receiver) : text);
        painter.drawText(t.at.x, t.at.y + metrics.ascent(), QString::fromStdString(t.text));
    }
}
