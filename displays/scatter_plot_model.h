#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

#include "displays/scatter_plot_position.h"

// The shown area, in micro-degrees.
struct GeoBounds {
    int32_t north = 0;
    int32_t east = 0;
    int32_t south = 0;
    int32_t west = 0;
    bool operator==(const GeoBounds&) const = default;
};

enum ScatterCenterMode : int32_t {
    CENTER_USER = 0,
    CENTER_AVERAGE = 1,
    CENTER_NEXT_SAMPLE = 2,
};

// A day of fixes at one per second, and the one that arrives with it.
inline constexpr std::size_t kMaxScatterSamples = 86401;
inline constexpr double kDefaultScatterRange = 100.0;
inline constexpr double kMinZoomRange = 5.0;

// The metres one zoom click adds or takes away at range r.
double ZoomStep(double range);

// What the scatter plot shows: the samples (oldest first, a day's worth at
// most), the centre chosen by the centring mode, the range and the bounds
// derived from both. Painting reads it; the page's operations change it.
class ScatterPlotModel {
public:
    ScatterPlotModel();

    void AddSample(double latitude, double longitude, double altitude, double hdop, double vdop);
    void SetAveragePosition(double latitude, double longitude);
    void SetUserPosition(double latitude, double longitude, double altitude);
    // Any mode asks for a recentre; mode 2 then takes the next sample.
    void SetCenterMode(int32_t mode);
    void SetDopThreshold(int32_t x100) { m_dopThresholdX100 = x100; }
    void ClearSamples();
    void ZoomIn();
    void ZoomOut();
    // Bounds of the square whose north-west and south-east corners lie at the
    // range from the centre. Keeps the previous bounds and returns false when
    // the geodesic cannot be computed.
    bool RecomputeBounds();

    const std::deque<ScatterPlotPosition>& Samples() const { return m_samples; }
    const ScatterPlotPosition& LastSample() const { return m_lastSample; }
    const ScatterPlotPosition& Center() const { return m_center; }
    const ScatterPlotPosition& UserPosition() const { return m_userPosition; }
    const ScatterPlotPosition& AveragePosition() const { return m_averagePosition; }
    double RangeMetres() const { return m_rangeMetres; }
    const GeoBounds& Bounds() const { return m_bounds; }
    int32_t CenterMode() const { return m_centerMode; }
    int32_t RecenterPending() const { return m_recenterPending; }
    int32_t DopThresholdX100() const { return m_dopThresholdX100; }
    // Good samples have an HDOP within the threshold.
    bool IsGood(const ScatterPlotPosition& sample) const { return sample.hdopX100 <= m_dopThresholdX100; }

private:
    std::deque<ScatterPlotPosition> m_samples;
    ScatterPlotPosition m_lastSample;
    ScatterPlotPosition m_center;
    ScatterPlotPosition m_userPosition;
    ScatterPlotPosition m_averagePosition;
    double m_rangeMetres = kDefaultScatterRange;
    GeoBounds m_bounds;
    int32_t m_centerMode = CENTER_NEXT_SAMPLE;
    int32_t m_recenterPending = 1;
    int32_t m_dopThresholdX100 = 300;
};
