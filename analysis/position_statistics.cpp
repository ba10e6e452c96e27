#include "analysis/position_statistics.h"

#include "geo/horizontal_distance.h"
#include "analysis/plot_series.h"

bool PositionStatistics::OnPositionUpdate(int hplCm, int hfomCm, double latitude, double longitude,
                                          double altitude)
{
    if (latitude == 0.0 && longitude == 0.0 && altitude == 0.0)
        return false;

    ++m_sampleCount;
    m_hplCm = hplCm;
    m_hfomCm = hfomCm;
    m_lastLatitude = latitude;
    m_lastLongitude = longitude;
    m_lastAltitude = altitude;

    const double sample = static_cast<double>(m_sampleCount);
    m_latitudeFit.Add(sample, latitude);
    m_longitudeFit.Add(sample, longitude);
    m_altitudeFit.Add(sample, altitude);
    m_avgLatitude.Add(latitude);
    m_avgLongitude.Add(longitude);
    m_avgAltitude.Add(altitude);

    struct Quantity {
        PlotTarget* plot;
        const TrendFit& fit;
        double value;
        const Average& average;
    };
    const Quantity quantities[] = {
        {m_plots.latitude, m_latitudeFit, latitude, m_avgLatitude},
        {m_plots.longitude, m_longitudeFit, longitude, m_avgLongitude},
        {m_plots.altitude, m_altitudeFit, altitude, m_avgAltitude},
    };
    for (const Quantity& q : quantities) {
        if (q.plot == nullptr)
            continue;
        // Five samples are too few for a trend worth drawing; from the sixth
        // on the segment spans every sample so far.
        if (m_sampleCount > 5) {
            q.plot->ClearSeries(kSeriesLsf);
            q.plot->AddPoint(kSeriesLsf, 1.0, q.fit.At(1.0));
            q.plot->AddPoint(kSeriesLsf, sample, q.fit.At(sample));
        }
        q.plot->AddPoint(kSeriesRaw, m_plotIndex, q.value);
        q.plot->AddPoint(kSeriesAvg, m_plotIndex, q.average.Mean());
    }

    PlotTarget* horizontals = m_plots.horizontals;
    if (horizontals != nullptr && (m_hplCm != 0 || m_hfomCm != 0)) {
        horizontals->AddPoint(kSeriesHpl, m_plotIndex, hplCm / 100.0);
        horizontals->AddPoint(kSeriesHfom, m_plotIndex, hfomCm / 100.0);
    }
    if (HasUserPosition()) {
        const double herr = HorizontalDistanceKm(latitude, longitude, m_userLatitude, m_userLongitude) * 1000.0;
        if (horizontals != nullptr)
            horizontals->AddPoint(kSeriesHErr, m_plotIndex, herr);
        m_avgHorizontalError.Add(herr);
        if (m_hplCm != 0 && herr > hplCm / 100.0) {
            ++m_hplViolations;
            if (horizontals != nullptr)
                horizontals->AddPoint(kSeriesHplViolation, m_plotIndex, herr);
        }
    }
    m_plotIndex += 1.0;
    return true;
}

void PositionStatistics::SetUserPosition(double latitude, double longitude, double altitude)
{
    if (latitude == m_userLatitude && longitude == m_userLongitude && altitude == m_userAltitude)
        return;
    m_userLatitude = latitude;
    m_userLongitude = longitude;
    m_userAltitude = altitude;
    // Errors against two points averaged together mean nothing.
    m_avgHorizontalError.Reset();
    m_hplViolations = 0;
    if (m_plots.horizontals != nullptr) {
        m_plots.horizontals->ClearSeries(kSeriesHErr);
        m_plots.horizontals->ClearSeries(kSeriesHplViolation);
    }
}

void PositionStatistics::ClearPlots()
{
    for (PlotTarget* plot : {m_plots.latitude, m_plots.longitude, m_plots.altitude, m_plots.horizontals}) {
        if (plot == nullptr)
            continue;
        for (int series = 0; series < kMaxSeries; ++series)
            plot->ClearSeries(series);
    }
    Reset();
}

void PositionStatistics::Reset()
{
    m_plotIndex = 0.0;
    m_lastLatitude = m_lastLongitude = m_lastAltitude = 0.0;
    m_latitudeFit = m_longitudeFit = m_altitudeFit = TrendFit{};
    m_avgLatitude.Reset();
    m_avgLongitude.Reset();
    m_avgAltitude.Reset();
    m_sampleCount = 0;
    m_hplCm = m_hfomCm = -1;
    m_hplViolations = 0;
    m_avgHorizontalError.Reset();
}

PositionTextValues PositionStatistics::TextValues() const
{
    PositionTextValues v;
    v.latitude = m_lastLatitude;
    v.longitude = m_lastLongitude;
    v.altitude = m_lastAltitude;
    v.lsfLatitude = m_latitudeFit.At(m_latitudeFit.n);
    v.lsfLongitude = m_longitudeFit.At(m_longitudeFit.n);
    v.lsfAltitude = m_altitudeFit.At(m_altitudeFit.n);
    v.avgLatitude = m_avgLatitude.Mean();
    v.avgLongitude = m_avgLongitude.Mean();
    v.avgAltitude = m_avgAltitude.Mean();
    v.samples = static_cast<uint32_t>(m_latitudeFit.n);
    v.averageHErr = m_avgHorizontalError.Mean();
    v.hplViolations = m_hplViolations;
    // Before the first fix there is no HPL, HFOM or error to show: the
    // stored -1 cm would read as -0.01 m and the error would be measured
    // from latitude 0, longitude 0. All three show 0 until a fix arrives.
    if (m_sampleCount == 0)
        return v;
    v.hpl = m_hplCm / 100.0;
    v.hfom = m_hfomCm / 100.0;
    if (m_hplCm != 0 && HasUserPosition())
        v.herr = HorizontalDistanceKm(m_lastLatitude, m_lastLongitude, m_userLatitude, m_userLongitude) * 1000.0;
    return v;
}
