#include "analysis/accuracy_tracker.h"

#include <algorithm>
#include <cmath>

int ErrorHistogram::BinOf(double metres)
{
    if (std::isnan(metres))
        return kBins - 1;  // with the largest, as the exact figures rank it
    if (!(metres >= kLowest))
        return 0;
    const double decades = std::log10(metres / kLowest);
    return static_cast<int>(std::min<double>(kBins - 1, 1.0 + std::floor(decades * kBinsPerDecade)));
}

double ErrorHistogram::BinLow(int bin)
{
    return bin == 0 ? 0.0 : kLowest * std::pow(10.0, static_cast<double>(bin - 1) / kBinsPerDecade);
}

double ErrorHistogram::BinHigh(int bin) { return kLowest * std::pow(10.0, static_cast<double>(bin) / kBinsPerDecade); }

double ErrorHistogram::OrderStatistic(int64_t k) const
{
    int64_t before = 0;
    for (int bin = 0; bin < kBins; ++bin) {
        const int64_t count = m_counts[static_cast<size_t>(bin)];
        if (k < before + count) {
            const double fraction = (static_cast<double>(k - before) + 0.5) / static_cast<double>(count);
            if (bin == 0)
                return fraction * kLowest;
            // Even on the logarithmic scale the bins are cut on.
            return BinLow(bin) * std::pow(BinHigh(bin) / BinLow(bin), fraction);
        }
        before += count;
    }
    return BinHigh(kBins - 1);
}

std::optional<double> ErrorHistogram::Percentile(double p) const
{
    if (m_total == 0)
        return std::nullopt;
    const double rank = p / 100.0 * static_cast<double>(m_total - 1);
    const int64_t below = static_cast<int64_t>(std::floor(rank));
    if (below + 1 >= m_total)
        return OrderStatistic(m_total - 1);
    const double low = OrderStatistic(below);
    return low + (rank - static_cast<double>(below)) * (OrderStatistic(below + 1) - low);
}

double ErrorHistogram::ShareAtOrBelow(double metres) const
{
    if (m_total == 0)
        return 0.0;
    const int last = BinOf(metres);
    int64_t count = 0;
    for (int bin = 0; bin < last; ++bin)
        count += m_counts[static_cast<size_t>(bin)];
    const double low = BinLow(last), high = BinHigh(last);
    const double within = last == 0 ? metres / kLowest : std::log(metres / low) / std::log(high / low);
    count += static_cast<int64_t>(std::clamp(within, 0.0, 1.0) * m_counts[static_cast<size_t>(last)]);
    return static_cast<double>(count) / static_cast<double>(m_total);
}

int StanfordGrid::CellOf(double metres, double range)
{
    if (!(metres > 0.0))
        return 0;
    return static_cast<int>(std::min<double>(kCells - 1, std::floor(metres / range * kCells)));
}

void ErrorTimeline::Add(std::optional<double> error, std::optional<double> estimate, int quality)
{
    if (quality != 0 && quality != lastQuality) {
        if (lastQuality != 0 && changes.size() < kMaxChanges)
            changes.push_back({fixes, quality});
        lastQuality = quality;
    }
    if (fixes % fixesPerBucket == 0) {
        if (static_cast<int>(buckets.size()) == kBuckets) {
            for (size_t i = 0; i < buckets.size() / 2; ++i) {
                const Bucket& a = buckets[2 * i];
                const Bucket& b = buckets[2 * i + 1];
                Bucket merged = a;
                auto join = [](bool has1, float min1, float max1, bool has2, float min2, float max2,
                               bool& has, float& min, float& max) {
                    has = has1 || has2;
                    min = has1 && has2 ? std::min(min1, min2) : (has1 ? min1 : min2);
                    max = has1 && has2 ? std::max(max1, max2) : (has1 ? max1 : max2);
                };
                join(a.hasError, a.errorMin, a.errorMax, b.hasError, b.errorMin, b.errorMax, merged.hasError,
                     merged.errorMin, merged.errorMax);
                join(a.hasEstimate, a.estimateMin, a.estimateMax, b.hasEstimate, b.estimateMin, b.estimateMax,
                     merged.hasEstimate, merged.estimateMin, merged.estimateMax);
                buckets[i] = merged;
            }
            buckets.resize(buckets.size() / 2);
            fixesPerBucket *= 2;
        }
        if (fixes % fixesPerBucket == 0)
            buckets.emplace_back();
    }
    Bucket& b = buckets.back();
    if (error) {
        const float e = static_cast<float>(*error);
        b.errorMin = b.hasError ? std::min(b.errorMin, e) : e;
        b.errorMax = b.hasError ? std::max(b.errorMax, e) : e;
        b.hasError = true;
    }
    if (estimate) {
        const float e = static_cast<float>(*estimate);
        b.estimateMin = b.hasEstimate ? std::min(b.estimateMin, e) : e;
        b.estimateMax = b.hasEstimate ? std::max(b.estimateMax, e) : e;
        b.hasEstimate = true;
    }
    ++fixes;
}

void AccuracyTracker::Add(const AccuracyFix& fix, std::optional<double> ownEstimate, double secondsSinceStart)
{
    m_fixes.push_back(fix);
    m_estimates.push_back(ownEstimate ? std::optional<float>(static_cast<float>(*ownEstimate)) : std::nullopt);
    if (!IsCountedQuality(fix.quality))
        return;
    if (!m_firstFix)
        m_firstFix = secondsSinceStart;
    if (fix.quality == 4 && !m_firstRtkFixed)
        m_firstRtkFixed = secondsSinceStart;
    if (m_correctionsStarted && secondsSinceStart >= *m_correctionsStarted) {
        if (fix.quality == 5 && !m_correctionsToFloat)
            m_correctionsToFloat = secondsSinceStart - *m_correctionsStarted;
        if (fix.quality == 4 && !m_correctionsToFixed)
            m_correctionsToFixed = secondsSinceStart - *m_correctionsStarted;
    }

    const double n = static_cast<double>(m_sets[0].count + 1);
    m_mean.latitude += (fix.latitude - m_mean.latitude) / n;
    m_mean.longitude += (fix.longitude - m_mean.longitude) / n;
    m_mean.altitude += (fix.altitude - m_mean.altitude) / n;
    if (!m_frame)
        SetFrame(m_truth ? *m_truth : GeodeticPosition{fix.latitude, fix.longitude, fix.altitude});

    // A uniform sample of the counted fixes (reservoir sampling), so the
    // scatter shows the whole session in a fixed number of dots.
    const size_t index = m_fixes.size() - 1;
    const int64_t seen = m_sets[0].count + 1;
    if (m_sample.size() < kScatterSample) {
        m_sample.push_back(static_cast<uint32_t>(index));
    } else {
        m_sampleRandom = m_sampleRandom * 6364136223846793005ull + 1442695040888963407ull;
        const uint64_t slot = (m_sampleRandom >> 11) % static_cast<uint64_t>(seen);
        if (slot < kScatterSample)
            m_sample[slot] = static_cast<uint32_t>(index);
    }

    Measure(fix, ownEstimate);
    if (!m_truth && MeanLeftFrame())
        Rebuild();
}

void AccuracyTracker::Measure(const AccuracyFix& fix, std::optional<double> ownEstimate)
{
    const EastNorthUp enu = m_frame->FromGeodetic(fix.latitude, fix.longitude, fix.altitude);
    const double horizontal = std::hypot(enu.east, enu.north);
    for (Set* set : {&m_sets[0], &m_sets[static_cast<size_t>(fix.quality)]}) {
        ++set->count;
        set->sumE += enu.east;
        set->sumN += enu.north;
        set->sumU += enu.up;
        set->sumE2 += enu.east * enu.east;
        set->sumN2 += enu.north * enu.north;
        set->sumU2 += enu.up * enu.up;
        set->horizontal.Add(horizontal);
        set->vertical.Add(std::fabs(enu.up));
    }
    double error = horizontal;
    if (m_truth) {
        // HErr as the position page has it, for the diagram and the plot.
        error = PageHorizontalError(fix.latitude, fix.longitude, *m_truth);
        if (fix.hpl > 0.0) {
            ++m_epochs;
            ++m_regions[static_cast<size_t>(ClassifyEpoch(error, fix.hpl, m_alertLimit))];
            const int x = StanfordGrid::CellOf(error, m_stanford.range);
            const int y = StanfordGrid::CellOf(fix.hpl, m_stanford.range);
            ++m_stanford.counts[static_cast<size_t>(y * StanfordGrid::kCells + x)];
        }
    }
    m_timeline.Add(error, ownEstimate, fix.quality);
}

bool AccuracyTracker::MeanLeftFrame() const
{
    const EastNorthUp offset = m_frame->FromGeodetic(m_mean.latitude, m_mean.longitude, m_mean.altitude);
    const Set& all = m_sets[0];
    const double n = static_cast<double>(all.count);
    const double spread = std::sqrt((all.sumE2 + all.sumN2 + all.sumU2) / n);
    return std::hypot(offset.east, offset.north, offset.up) > std::max(1e-3, 0.01 * spread);
}

void AccuracyTracker::SetFrame(const GeodeticPosition& origin)
{
    m_frame.emplace(origin.latitude, origin.longitude, origin.altitude);
}

void AccuracyTracker::Rebuild()
{
    ++m_rebuilds;
    for (Set& set : m_sets)
        set = Set{};
    m_regions.fill(0);
    m_epochs = 0;
    m_stanford.counts.fill(0);
    m_stanford.range = 2.0 * m_alertLimit;
    m_timeline.Clear();
    if (m_truth)
        SetFrame(*m_truth);
    else if (m_frame)
        SetFrame(m_mean);
    if (!m_frame)
        return;
    for (size_t i = 0; i < m_fixes.size(); ++i) {
        if (!IsCountedQuality(m_fixes[i].quality))
            continue;
        const std::optional<float>& estimate = m_estimates[i];
        Measure(m_fixes[i], estimate ? std::optional<double>(*estimate) : std::nullopt);
    }
}

void AccuracyTracker::Clear()
{
    m_fixes.clear();
    m_estimates.clear();
    m_mean = {};
    m_frame.reset();
    m_sample.clear();
    Rebuild();
}

void AccuracyTracker::StartSession()
{
    Clear();
    m_firstFix.reset();
    m_firstRtkFixed.reset();
    m_correctionsStarted.reset();
    m_correctionsToFloat.reset();
    m_correctionsToFixed.reset();
}

void AccuracyTracker::MarkCorrectionsStarted(double secondsSinceStart)
{
    if (!m_correctionsStarted)
        m_correctionsStarted = secondsSinceStart;
}

void AccuracyTracker::SetTruth(std::optional<GeodeticPosition> truth)
{
    m_truth = truth;
    if (!m_truth && m_sets[0].count == 0)
        m_frame.reset();
    else if (m_truth)
        SetFrame(*m_truth);
    Rebuild();
}

void AccuracyTracker::SetAlertLimit(double metres)
{
    m_alertLimit = metres;
    Rebuild();
}

std::optional<GeodeticPosition> AccuracyTracker::Reference() const
{
    if (m_truth)
        return m_truth;
    if (m_sets[0].count == 0)
        return std::nullopt;
    return m_mean;
}

EastNorthUp AccuracyTracker::ReferenceInFrame() const
{
    if (m_truth || !m_frame)
        return {};
    return m_frame->FromGeodetic(m_mean.latitude, m_mean.longitude, m_mean.altitude);
}

ErrorFigures AccuracyTracker::Figures(int setIndex) const
{
    const Set& set = m_sets[static_cast<size_t>(setIndex)];
    ErrorFigures f;
    f.count = set.count;
    if (set.count == 0)
        return f;
    const double n = static_cast<double>(set.count);
    const EastNorthUp r = ReferenceInFrame();
    const double meanE = set.sumE / n, meanN = set.sumN / n, meanU = set.sumU / n;
    f.biasE = meanE - r.east;
    f.biasN = meanN - r.north;
    f.biasU = meanU - r.up;
    if (set.count > 1) {
        auto sigma = [&](double sum2, double mean) { return std::sqrt(std::max(0.0, (sum2 - n * mean * mean) / (n - 1))); };
        f.sigmaE = sigma(set.sumE2, meanE);
        f.sigmaN = sigma(set.sumN2, meanN);
        f.sigmaU = sigma(set.sumU2, meanU);
    }
    f.h50 = set.horizontal.Percentile(50);
    f.h68 = set.horizontal.Percentile(68);
    f.h95 = set.horizontal.Percentile(95);
    f.h99 = set.horizontal.Percentile(99);
    f.v50 = set.vertical.Percentile(50);
    f.v95 = set.vertical.Percentile(95);
    const double meanSquare = (set.sumE2 + set.sumN2) / n - 2.0 * (r.east * meanE + r.north * meanN)
        + r.east * r.east + r.north * r.north;
    f.drms = std::sqrt(std::max(0.0, meanSquare));
    f.twoDrms = 2.0 * *f.drms;
    return f;
}

std::optional<IntegrityCounts> AccuracyTracker::Integrity() const
{
    if (!m_truth)
        return std::nullopt;
    IntegrityCounts c;
    c.alertLimit = m_alertLimit;
    c.epochs = m_epochs;
    c.regions = m_regions;
    if (m_epochs > 0) {
        const int64_t available = c.Count(StanfordRegion::Normal) + c.Count(StanfordRegion::Misleading)
            + c.Count(StanfordRegion::Hazardous);
        c.availability = static_cast<double>(available) / static_cast<double>(m_epochs);
    }
    return c;
}

std::vector<std::array<double, 2>> AccuracyTracker::ScatterSample() const
{
    std::vector<std::array<double, 2>> points;
    if (!m_frame)
        return points;
    const EastNorthUp r = ReferenceInFrame();
    points.reserve(m_sample.size());
    for (const uint32_t index : m_sample) {
        const AccuracyFix& fix = m_fixes[index];
        const EastNorthUp enu = m_frame->FromGeodetic(fix.latitude, fix.longitude, fix.altitude);
        points.push_back({enu.east - r.east, enu.north - r.north});
    }
    return points;
}
