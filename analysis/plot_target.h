#pragma once

// Where the position statistics put the points of one plot.
class PlotTarget {
public:
    virtual ~PlotTarget() = default;
    // False, with nothing stored, for a series outside 0 to 15.
    virtual bool AddPoint(int series, double x, double y) = 0;
    virtual void ClearSeries(int series) = 0;
};
