#include "displays/signals_page_wnd.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTableWidget>
#include <QToolTip>
#include <array>

#include "kit/fonts.h"
#include "kit/page_painting.h"
#include "kit/page_shapes.h"

namespace {

constexpr int kFontHeight = 12;
const QColor kSuspectColor(230, 0, 0);

QFont SignalsFont() { return PageFont(QStringLiteral("Tahoma"), kFontHeight); }

QColor WithAlpha(QColor color, int alpha)
{
    color.setAlpha(alpha);
    return color;
}

void DrawText(QPainter& painter, const SignalsText& text, int flags = Qt::AlignLeft | Qt::AlignVCenter)
{
    painter.drawText(ToQRect(text.box), flags | Qt::TextSingleLine, QString::fromStdString(text.text));
}

constexpr const char* kTableHeadings[] = {"System", "No.", "Signal", "Elev.", "Azim.", "C/N0", "Used"};

// A cell that sorts by a number of its own (a system's order, a value,
// below every value where there is none) whatever it shows.
class SortedItem : public QTableWidgetItem {
public:
    SortedItem(const QString& text, double key) : QTableWidgetItem(text) { setData(Qt::UserRole, key); }
    bool operator<(const QTableWidgetItem& other) const override
    {
        return data(Qt::UserRole).toDouble() < other.data(Qt::UserRole).toDouble();
    }
};

QTableWidgetItem* NumberItem(const std::optional<int>& value)
{
    auto* item = new SortedItem(value ? QString::number(*value) : QStringLiteral("-"), value ? *value : -1e9);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

}  // namespace

SignalsPageWnd::SignalsPageWnd(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_table = new QTableWidget(0, static_cast<int>(std::size(kTableHeadings)), this);
    m_table->setObjectName(QStringLiteral("satelliteTable"));
    QStringList headings;
    for (const char* heading : kTableHeadings)
        headings << QString::fromLatin1(heading);
    m_table->setHorizontalHeaderLabels(headings);
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    m_table->setFont(SignalsFont());
    m_table->verticalHeader()->setDefaultSectionSize(QFontMetrics(SignalsFont()).height() + 4);
    // Columns as wide as their contents, the last taking the rest; a narrow
    // page scrolls the table rather than cutting its headings.
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(0, Qt::AscendingOrder);
    m_table->hide();
}

void SignalsPageWnd::UpdateTable()
{
    const SignalsPageLayout layout = Layout(size());
    const PixelRect& r = layout.satelliteTable;
    m_table->setVisible(!r.IsEmpty());
    if (r.IsEmpty())
        return;
    m_table->setGeometry(ToQRect(r));
    const std::vector<SatelliteRow> rows = SatelliteRows(m_snapshot, m_filter);
    // Filled unsorted, then sorted once by the user's column.
    m_table->setSortingEnabled(false);
    m_table->setRowCount(static_cast<int>(rows.size()));
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        const SatelliteRow& row = rows[static_cast<size_t>(i)];
        auto* system = new SortedItem(QString::fromLatin1(SystemName(row.system).data(),
                                                          static_cast<int>(SystemName(row.system).size())),
                                      SystemIndex(row.system));
        system->setForeground(ToQColor(SystemColor(row.system)));
        m_table->setItem(i, 0, system);
        m_table->setItem(i, 1, NumberItem(row.number));
        m_table->setItem(i, 2, new QTableWidgetItem(QString::fromStdString(row.signal)));
        m_table->setItem(i, 3, NumberItem(row.elevation));
        m_table->setItem(i, 4, NumberItem(row.azimuth));
        m_table->setItem(i, 5, NumberItem(row.cnr));
        m_table->setItem(i, 6, new SortedItem(row.used ? QStringLiteral("yes") : QStringLiteral("no"), row.used ? 1 : 0));
    }
    m_table->setSortingEnabled(true);
}

void SignalsPageWnd::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    UpdateTable();
}

bool SignalsPageWnd::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const std::string tip = TipAt(Layout(size()), help->pos().x(), help->pos().y());
        if (tip.empty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), QString::fromStdString(tip), this);
        }
        return true;
    }
    return QWidget::event(event);
}

void SignalsPageWnd::SetSnapshotSource(std::function<GnssSnapshot()> source)
{
    m_snapshotSource = std::move(source);
}

void SignalsPageWnd::UpdateFromSnapshot()
{
    m_snapshot = m_snapshotSource ? m_snapshotSource() : GnssSnapshot{};
    std::optional<double> now = ReceiverSeconds(m_snapshot);
    if (now && !ReceiverSecondsDated(m_snapshot)) {
        // A time of day alone: midnight passes when it falls by half a day.
        if (*now + m_dayOffset < m_now - 43200.0)
            m_dayOffset += 86400.0;
        *now += m_dayOffset;
    }
    if (now) {
        m_now = *now;
        m_trails.Update(m_snapshot.satellites, *now);
    }
    UpdateTable();
    update();
}

void SignalsPageWnd::UpdateFromSnapshotAt(double now)
{
    m_snapshot = m_snapshotSource ? m_snapshotSource() : GnssSnapshot{};
    m_now = now;
    m_trails.Update(m_snapshot.satellites, now);
    UpdateTable();
    update();
}

void SignalsPageWnd::ClearTrails()
{
    m_trails.Clear();
    update();
}

void SignalsPageWnd::Restart()
{
    m_trails.Clear();
    m_snapshot = GnssSnapshot{};
    m_now = 0.0;
    m_dayOffset = 0.0;
    UpdateTable();
    update();
}

void SignalsPageWnd::SetFilter(const SignalsFilter& filter)
{
    m_filter = filter;
    UpdateTable();
    update();
}

SignalsPageLayout SignalsPageWnd::Layout(const QSize& size) const
{
    const QFontMetrics metrics(SignalsFont());
    return LayoutSignalsPage({0, 0, size.width(), size.height()}, m_snapshot, m_filter, m_trails, m_now,
                             MeasureWith(metrics));
}

void SignalsPageWnd::Paint(QPainter& painter, const QSize& size) const
{
    const SignalsPageLayout layout = Layout(size);
    const QRect all(QPoint(0, 0), size);
    FillPageBackground(painter, all);
    QColor bg, fg;
    GetPageColors(bg, fg);
    painter.setFont(SignalsFont());
    painter.setRenderHint(QPainter::Antialiasing, false);

    // Filter chips: filled in the text colour when on, outlined when off.
    painter.setPen(fg);
    for (const SignalsText& caption : layout.filterCaptions)
        DrawText(painter, caption);
    for (const SignalsChip& chip : layout.chips) {
        const QColor accent = chip.system ? ToQColor(SystemColor(static_cast<GnssSystem>(chip.index))) : fg;
        painter.setPen(QPen(accent, 1));
        painter.setBrush(chip.on ? WithAlpha(accent, 70) : QColor(Qt::transparent));
        DrawBoxRectangle(painter, chip.box);
        painter.setPen(chip.on ? fg : WithAlpha(fg, 110));
        DrawText(painter, {chip.box, chip.text}, Qt::AlignCenter);
    }
    for (const SignalsLegendEntry& entry : layout.legend) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(ToQColor(SystemColor(entry.system)));
        DrawBoxRectangle(painter, entry.swatch);
        painter.setPen(fg);
        DrawText(painter, entry.label);
    }

    // Bars: a scale every 10 dB-Hz, solid bars for used satellites, pale
    // ones for the rest, a red outline round the GBS suspect.
    painter.setPen(QPen(WithAlpha(fg, 60), 1));
    for (const SignalsScaleLine& line : layout.scale)
        painter.drawLine(layout.barArea.left, line.y, layout.barArea.right - 1, line.y);
    painter.setPen(fg);
    for (const SignalsScaleLine& line : layout.scale)
        DrawText(painter, line.label, Qt::AlignRight | Qt::AlignVCenter);
    for (const SignalsBar& bar : layout.bars) {
        const QColor color = ToQColor(SystemColor(bar.system));
        const QColor fill = bar.used ? color : WithAlpha(color, 110);
        painter.setPen(Qt::NoPen);
        if (bar.band == 0) {
            painter.setBrush(fill);
        } else {
            // A satellite's other bands: the pale fill under a hatch.
            painter.setBrush(WithAlpha(color, 60));
            DrawBoxRectangle(painter, bar.bar);
            painter.setBrush(QBrush(fill, bar.band == 1 ? Qt::Dense4Pattern : Qt::BDiagPattern));
        }
        DrawBoxRectangle(painter, bar.bar);
        if (bar.suspect) {
            painter.setPen(QPen(kSuspectColor, 2));
            painter.setBrush(Qt::NoBrush);
            DrawBoxRectangle(painter, bar.slot);
        }
    }
    painter.setPen(fg);
    for (const SignalsBar& bar : layout.bars) {
        if (bar.number)
            DrawText(painter, *bar.number, Qt::AlignCenter);
        if (bar.signal)
            DrawText(painter, *bar.signal, Qt::AlignCenter);
    }
    for (const SignalsBarGroup& group : layout.groups) {
        painter.setPen(ToQColor(SystemColor(group.system)));
        DrawText(painter, group.label, Qt::AlignCenter);
    }

    // Sky plot: horizon, 45 and 0 degree rings, cross, then the trails by
    // system and fade step (few calls however many segments), then marks.
    const SkyPlotSquare& sky = layout.sky;
    if (sky.square.Width() > 0) {
        painter.setPen(QPen(WithAlpha(fg, 140), 1));
        painter.setBrush(Qt::NoBrush);
        DrawBoxEllipse(painter, sky.square);
        DrawBoxEllipse(painter, FortyFiveDegreeRing(sky));
        for (const SkyPlotLine& line : SkyPlotCrossLines(sky))
            DrawLineTo(painter, line.from, line.to);
        std::array<std::array<QVector<QLine>, kTrailFadeSteps>, kGnssSystemCount> buckets;
        for (const SignalsTrailSegment& t : layout.trails)
            buckets[static_cast<size_t>(SystemIndex(t.system))][static_cast<size_t>(t.fade)].append(
                QLine(t.from.x, t.from.y, t.to.x, t.to.y));
        for (int s = 0; s < kGnssSystemCount; ++s) {
            const QColor color = ToQColor(SystemColor(static_cast<GnssSystem>(s)));
            for (int fade = 0; fade < kTrailFadeSteps; ++fade) {
                const QVector<QLine>& lines = buckets[static_cast<size_t>(s)][static_cast<size_t>(fade)];
                if (lines.isEmpty())
                    continue;
                painter.setPen(QPen(WithAlpha(color, 220 - fade * 200 / kTrailFadeSteps), 1));
                painter.drawLines(lines);
            }
        }
        for (const SignalsSkyMark& mark : layout.marks) {
            const QColor color = ToQColor(SystemColor(mark.system));
            painter.setPen(QPen(color, 1));
            painter.setBrush(mark.used ? color : bg);
            DrawBoxEllipse(painter, mark.symbol);
            if (mark.suspect) {
                painter.setPen(QPen(kSuspectColor, 2));
                painter.setBrush(Qt::NoBrush);
                DrawBoxEllipse(painter, {mark.symbol.left - 3, mark.symbol.top - 3, mark.symbol.right + 3,
                                         mark.symbol.bottom + 3});
            }
            painter.setPen(fg);
            if (mark.labelled)
                DrawText(painter, mark.label);
        }
        painter.setPen(WithAlpha(fg, 200));
        for (const SignalsText& letter : layout.compass)
            DrawText(painter, letter, Qt::AlignCenter);
    }

    // Table and the information lines.
    // Headers in the body font (the geometry measured that one), ruled off.
    for (const SignalsTableCell& cell : layout.table) {
        if (cell.header) {
            painter.setPen(QPen(WithAlpha(fg, 140), 1));
            painter.drawLine(cell.box.left, cell.box.bottom - 1, cell.box.right - 1, cell.box.bottom - 1);
        }
        painter.setPen(cell.system ? ToQColor(SystemColor(*cell.system)) : fg);
        const QRect box = ToQRect(cell.box).adjusted(6, 0, -6, 0);
        painter.drawText(box, (cell.rightAligned ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter,
                         QString::fromStdString(cell.text));
    }
    painter.setFont(SignalsFont());
    for (const SignalsInfoLine& line : layout.info) {
        if (line.highlight) {
            painter.setPen(QPen(kSuspectColor, 1));
            painter.setBrush(WithAlpha(kSuspectColor, 50));
            DrawBoxRectangle(painter, {line.text.box.left - 3, line.text.box.top, line.text.box.right + 3,
                                       line.text.box.bottom});
        }
        painter.setPen(fg);
        DrawText(painter, line.text);
    }
}

QImage SignalsPageWnd::RenderPage()
{
    QImage image(size(), QImage::Format_RGB32);
    if (image.isNull())
        return image;
    QPainter painter(&image);
    Paint(painter, size());
    return image;
}

void SignalsPageWnd::paintEvent(QPaintEvent*)
{
    const QImage image = RenderPage();
    QPainter(this).drawImage(0, 0, image);
}

void SignalsPageWnd::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    const SignalsPageLayout layout = Layout(size());
    if (const SignalsChip* chip = ChipAt(layout, at.x(), at.y())) {
        const auto i = static_cast<size_t>(chip->index);
        if (chip->system)
            m_filter.systems[i] = !m_filter.systems[i];
        else
            m_filter.bands[i] = !m_filter.bands[i];
        UpdateTable();
        update();
        return;
    }
    QWidget::mousePressEvent(event);
}
