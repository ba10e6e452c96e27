#pragma once

#include <QImage>
#include <QWidget>
#include <functional>

#include "displays/signal_trails.h"
#include "displays/signals_page_layout.h"
#include "nmea/gnss_snapshot.h"

class QPainter;
class QTableWidget;

// The Signals page: every system's signals as bars, a sky plot of every
// system with trails of the last minutes, a table per system, the date,
// fix modes, GST and GBS, and a sortable table of every signal shown (a
// click on a heading sorts by it). A bar or a sky mark tells its signal as
// a tooltip. It reads the GNSS snapshot, never the parser, and
// keeps only the trails and the filter; a click on a chip shows or hides a
// system or a band.
class SignalsPageWnd : public QWidget {
public:
    explicit SignalsPageWnd(QWidget* parent = nullptr);

    // Where the page reads the model: a copy of the shared GNSS snapshot
    // taken under its lock. Without a source it shows an empty snapshot.
    void SetSnapshotSource(std::function<GnssSnapshot()> source);

    // After every fix: takes a fresh copy, extends the trails at the
    // receiver's time (ReceiverSeconds; none without one), repaints.
    void UpdateFromSnapshot();
    // The same at a given time in seconds (tests and benchmarks drive the clock).
    void UpdateFromSnapshotAt(double now);
    void ClearTrails();
    // Another source or file: the trails, the satellites and the date shown
    // go; the filter stays.
    void Restart();

    const SignalsFilter& Filter() const { return m_filter; }
    void SetFilter(const SignalsFilter& filter);
    const SignalTrails& Trails() const { return m_trails; }

    // What the page shows at `size`, as last updated.
    SignalsPageLayout Layout(const QSize& size) const;
    // Paints the page into `painter`'s device over (0, 0, size).
    void Paint(QPainter& painter, const QSize& size) const;
    QImage RenderPage();
    // The table of every shown signal (SatelliteRows), sorted as the user chose.
    QTableWidget* SatelliteTable() const { return m_table; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    // Refills the satellite table and places it where the layout says.
    void UpdateTable();

    std::function<GnssSnapshot()> m_snapshotSource;
    QTableWidget* m_table = nullptr;
    GnssSnapshot m_snapshot;
    SignalTrails m_trails;
    SignalsFilter m_filter;
    double m_now = 0.0;
    double m_dayOffset = 0.0;  // days passed at midnight while the receiver gives no date
};
