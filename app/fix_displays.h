#pragma once

#include <functional>

#include "app/user_position.h"
#include "nmea/display_snapshot.h"

// The pages that show fixes (front panel, scatter plot, position plot) as
// the main window drives them: it hands over each fix and carries out the
// commands that change or clear them, and never reaches into a page.
class FixDisplays {
public:
    virtual ~FixDisplays() = default;

    // Where the front panel reads the snapshot it shows.
    virtual void SetSnapshotSource(std::function<DisplaySnapshot()> source) = 0;
    // A new fix in the snapshot: each page takes it and repaints.
    virtual void ShowFix(const DisplaySnapshot& fix) = 0;

    // The reference for distances and the horizontal error; `repaint` redraws
    // at once.
    virtual void SetUserPosition(const UserPosition& position, bool repaint) = 0;
    virtual void SetDopThreshold(int hundredths) = 0;
    virtual void SetScatterCenterMode(int mode) = 0;

    virtual void ClearSatelliteTrails() = 0;
    virtual void ClearAzElMask() = 0;
    // Empties the scatter plot and centres it on the next sample; the
    // averages stay.
    virtual void ClearScatterPlot() = 0;
    // Empties the position plots and their averages.
    virtual void ClearPositionPlots() = 0;
    // Everything the pages gathered, then centres the scatter plot by
    // `centerMode`.
    virtual void ClearAll(int centerMode) = 0;
};
