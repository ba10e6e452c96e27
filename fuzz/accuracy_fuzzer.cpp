// Feeds arbitrary fixes, truths and alert limits to the accuracy figures and
// checks what must hold whatever the numbers: every counted fix lands in one
// quality group, every integrity epoch in one Stanford region, and the
// percentiles never decrease.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#include "analysis/accuracy_figures.h"

namespace {

double TakeDouble(const uint8_t*& data, size_t& size)
{
    double value = 0.0;
    const size_t n = size < sizeof value ? size : sizeof value;
    std::memcpy(&value, data, n);
    data += n;
    size -= n;
    return value;
}

void CheckOrdered(const ErrorFigures& f)
{
    const std::optional<double> h[] = {f.h50, f.h68, f.h95, f.h99};
    for (size_t i = 1; i < 4; ++i) {
        if (h[i - 1] && h[i] && *h[i - 1] == *h[i - 1] && *h[i] == *h[i] && *h[i - 1] > *h[i])
            std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const uint8_t control = *data++;
    --size;
    std::optional<GeodeticPosition> truth;
    double alertLimit = kDefaultAlertLimit;
    if (control & 1) {
        truth = GeodeticPosition{TakeDouble(data, size), TakeDouble(data, size), TakeDouble(data, size)};
        alertLimit = TakeDouble(data, size);
    }
    std::vector<AccuracyFix> fixes;
    while (size > 0) {
        AccuracyFix fix;
        fix.quality = static_cast<int8_t>(*data++);
        --size;
        fix.latitude = TakeDouble(data, size);
        fix.longitude = TakeDouble(data, size);
        fix.altitude = TakeDouble(data, size);
        fix.hpl = TakeDouble(data, size);
        fixes.push_back(fix);
    }

    const AccuracyReport report = ComputeAccuracy(fixes, truth, alertLimit);
    if (report.ggaCount != static_cast<int64_t>(fixes.size()) || report.fixes > report.ggaCount
        || report.all.count != report.fixes)
        std::abort();
    int64_t grouped = 0;
    for (const auto& group : report.byQuality) {
        if (group) {
            grouped += group->count;
            CheckOrdered(*group);
        }
    }
    if (grouped != report.fixes)
        std::abort();
    CheckOrdered(report.all);
    if (report.integrity) {
        int64_t regions = 0;
        for (int64_t n : report.integrity->regions)
            regions += n;
        if (regions != report.integrity->epochs || report.integrity->epochs > report.fixes)
            std::abort();
    }
    return 0;
}
