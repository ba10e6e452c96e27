#pragma once

#include <QColor>
#include <QElapsedTimer>
#include <QImage>
#include <QString>
#include <QWidget>
#include <optional>

#include "analysis/accuracy_page_geometry.h"
#include "analysis/accuracy_tracker.h"

class CommandActions;

// A Stanford cell's colour: from one fix (blue) to the most (red) through
// the hues between, so the ramp reads on the light and the dark pages alike.
QColor StanfordCellColor(double shade);
// The colours of the h50, h95 and 2DRMS circles.
QColor AccuracyCircleColor(size_t circle);
// The dashed lines where the fix quality changed, on the time plot.
QColor AccuracyQualityMarkColor();

// The "Accuracy" page: the card of accuracy and integrity figures, the
// east/north scatter with its circles, the Stanford diagram, the cumulative
// distribution of the horizontal error and the error over time beside the
// receiver's own estimate. The tracker does the work; the page paints what
// ComputeAccuracyPageGeometry computed from it.
class AccuracyPageWnd : public QWidget {
    Q_OBJECT

public:
    explicit AccuracyPageWnd(QWidget* parent = nullptr);

    // The table whose Reset, Export and Set Alert Limit the context menu
    // shows; none: no context menu.
    void SetCommandActions(CommandActions* commands) { m_commands = commands; }

    // One GGA from the display snapshot (HPL and HFOM in centimetres as
    // received). The receiver's own estimate is the GST sigma when the
    // receiver sends one, else HFOM.
    void OnPositionUpdate(int countedQuality, double latitude, double longitude, double altitude, int hplCm,
                          int hfomCm, std::optional<double> gstSigmaMetres = std::nullopt);
    // Connect or the start of a playback: times to first fix count from now.
    void StartSession();
    // The first corrections went to the receiver: times to float and fixed
    // count from now.
    void MarkCorrectionsStarted();
    // Forgets the figures (the Reset command).
    void Reset();
    // The user position is the truth; (0, 0, 0), what is stored when the user
    // has set none, is no truth.
    void SetUserPosition(double latitude, double longitude, double altitude);
    void SetAlertLimit(double metres);

    const AccuracyTracker& Tracker() const { return m_tracker; }

    // The whole page as it paints at its current size; with `exact` its card
    // shows those figures (an exported report).
    QImage Render(const AccuracyReport* exact = nullptr);
    // Writes `basePath`.png (the page) and `basePath`.json (the report with
    // the keys of `stelmap-cli accuracy`); empty on success, else why not.
    QString ExportReport(const QString& basePath);

protected:
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void Paint(QPainter& painter, const AccuracyPageGeometry& g);

    AccuracyTracker m_tracker;
    QElapsedTimer m_sessionClock;
    bool m_gstSeen = false;
    CommandActions* m_commands = nullptr;
};
