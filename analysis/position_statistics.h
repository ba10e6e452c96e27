#pragma once

#include <cstdint>

#include "analysis/average.h"
#include "analysis/plot_target.h"
#include "analysis/trend_fit.h"

// The reference position before the main window has handed one over.
inline constexpr double kPositionNotSet = -2147483648.0;

// Series numbers on the latitude, longitude and altitude plots ...
inline constexpr int kSeriesRaw = 0;
inline constexpr int kSeriesLsf = 1;
inline constexpr int kSeriesAvg = 2;
// ... and on the horizontals plot.
inline constexpr int kSeriesHpl = 0;
inline constexpr int kSeriesHfom = 1;
inline constexpr int kSeriesHErr = 2;
inline constexpr int kSeriesHplViolation = 15;

// Where the statistics plot; a null target is not plotted.
struct PositionPlots {
    PlotTarget* latitude = nullptr;
    PlotTarget* longitude = nullptr;
    PlotTarget* altitude = nullptr;
    PlotTarget* horizontals = nullptr;
};

// What the position page's text block shows, in metres and degrees.
struct PositionTextValues {
    double latitude = 0.0;
    double longitude = 0.0;
    double altitude = 0.0;
    double lsfLatitude = 0.0;
    double lsfLongitude = 0.0;
    double lsfAltitude = 0.0;
    double avgLatitude = 0.0;
    double avgLongitude = 0.0;
    double avgAltitude = 0.0;
    uint32_t samples = 0;
    double hpl = 0.0;
    double hfom = 0.0;
    double herr = 0.0;
    double averageHErr = 0.0;
    int32_t hplViolations = 0;

    bool operator==(const PositionTextValues&) const = default;
};

// Running statistics over every accepted position fix since creation or the
// last clear: the last fix, means and least-squares trends of latitude,
// longitude and altitude, HPL and HFOM, the horizontal error against the
// user's reference position with its mean, and the HPL violations. Every
// update is constant work; the plots keep the points.
class PositionStatistics {
public:
    explicit PositionStatistics(PositionPlots plots = {}) : m_plots(plots) {}

    // Takes one fix (HPL and HFOM in centimetres as received). A fix at
    // exactly (0, 0, 0) is no fix and is refused: returns false, and nothing
    // is counted or plotted.
    bool OnPositionUpdate(int hplCm, int hfomCm, double latitude, double longitude, double altitude);

    // Empties every series of the plots and starts the statistics afresh; the
    // user position stays.
    void ClearPlots();

    // A different reference point restarts what was measured against the old
    // one, the mean horizontal error and the HPL violations with their
    // plotted series; the rest of the statistics go on. The same point again
    // changes nothing.
    void SetUserPosition(double latitude, double longitude, double altitude);
    double UserLatitude() const { return m_userLatitude; }
    double UserLongitude() const { return m_userLongitude; }
    double UserAltitude() const { return m_userAltitude; }

    double AverageLatitude() const { return m_avgLatitude.Mean(); }
    double AverageLongitude() const { return m_avgLongitude.Mean(); }

    // The text block's values, with the user position as it is now.
    PositionTextValues TextValues() const;

    double PlotIndex() const { return m_plotIndex; }
    uint32_t SampleCount() const { return m_sampleCount; }
    const TrendFit& LatitudeFit() const { return m_latitudeFit; }
    const TrendFit& LongitudeFit() const { return m_longitudeFit; }
    const TrendFit& AltitudeFit() const { return m_altitudeFit; }
    int32_t HplCm() const { return m_hplCm; }
    int32_t HfomCm() const { return m_hfomCm; }
    int32_t HplViolations() const { return m_hplViolations; }
    const Average& AverageHorizontalError() const { return m_avgHorizontalError; }

private:
    void Reset();
    bool HasUserPosition() const { return m_userLatitude != kPositionNotSet; }

    PositionPlots m_plots;

    double m_plotIndex = 0.0;
    double m_lastLatitude = 0.0;
    double m_lastLongitude = 0.0;
    double m_lastAltitude = 0.0;
    TrendFit m_latitudeFit;
    TrendFit m_longitudeFit;
    TrendFit m_altitudeFit;
    Average m_avgLatitude;
    Average m_avgLongitude;
    Average m_avgAltitude;
    uint32_t m_sampleCount = 0;
    int32_t m_hplCm = -1;
    int32_t m_hfomCm = -1;
    double m_userAltitude = kPositionNotSet;
    double m_userLatitude = kPositionNotSet;
    double m_userLongitude = kPositionNotSet;
    int32_t m_hplViolations = 0;
    Average m_avgHorizontalError;
};
