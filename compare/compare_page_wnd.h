#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <QWidget>
#include <chrono>
#include <map>

#include "compare/compare_feed.h"
#include "compare/compare_page_geometry.h"

class QComboBox;
class QTimer;

// The "Compare" page: receivers under test measured against a reference
// (another receiver, the user position or a trajectory file), with the
// horizontal error over time, its distribution, the figures side by side,
// an east/north scatter per receiver and the C/N0 difference of two
// receivers. CompareFeed does the work; the page paints what
// ComputeComparePageGeometry computed, below a chooser of the reference.
class ComparePageWnd : public QWidget {
    Q_OBJECT

public:
    explicit ComparePageWnd(QWidget* parent = nullptr);

    // One fix of receiver `receiverId` as its session hands it over, with
    // the time its GGA was read.
    void AddFix(int receiverId, const QString& name, const QColor& colour, const DisplaySnapshot& display,
                const GnssSnapshot& gnss, std::chrono::steady_clock::time_point readTime);
    // A new source or a seek: the fixes so far are forgotten.
    void Restart();

    // The user position, a reference choice; (0, 0, 0) is none.
    void SetUserPosition(double latitude, double longitude, double altitude);
    void UseUserPosition();
    // Reads a trajectory file (NMEA, CSV, GPX, .pos) and makes it the
    // reference; empty on success, else why not.
    QString UseTrajectoryFile(const QString& path);
    void UseReceiver(int receiverId);

    const CompareFeed& Feed() const { return m_feed; }
    QColor ReceiverColour(int index) const;  // of the index-th receiver under test

    // The whole page as it paints at its current size, chooser included.
    QImage Render();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void OnChoice(int index);
    void FillChooser();
    void Paint(QPainter& painter, const ComparePageGeometry& g);

    CompareFeed m_feed;
    std::map<int, QColor> m_colours;  // by receiver id
    std::optional<GeodeticPosition> m_userPosition;
    QComboBox* m_chooser = nullptr;
    bool m_filling = false;
    QString m_trajectoryPath;
    QTimer* m_repaint = nullptr;  // fixes repaint at most twice a second
};
