#include "analysis/position_page_layout.h"

#include <cstdio>

namespace {

PlotRect Shrunk(const PlotRect& r, int by) { return {r.left + by, r.top + by, r.right - by, r.bottom - by}; }

}  // namespace

PositionPageLayout ComputePositionPageLayout(int width, int height)
{
    PositionPageLayout l;
    l.margin = static_cast<int>(static_cast<double>(static_cast<long long>(width) * height) * 1e-5);
    const PlotRect client{0, 0, width, height};
    l.plotsArea = Shrunk({client.left + width / 3, client.top, client.right, client.bottom}, l.margin);
    l.textBox = Shrunk({client.left, client.top, l.plotsArea.left, client.bottom}, l.margin);
    const int h = static_cast<int>(l.plotsArea.Height() * 0.25);
    for (int i = 0; i < 4; ++i) {
        const int top = l.plotsArea.top + i * h;
        l.plots[static_cast<size_t>(i)] = {l.plotsArea.left, top, l.plotsArea.right, top + h};
    }
    l.textFontPixels = l.textBox.Width() / 20;
    return l;
}

std::string FormatPositionValues(const PositionTextValues& v)
{
    // Huge values print hundreds of digits, so the text is sized by a first
    // formatting pass.
    auto format = [&](char* out, size_t size) {
        return std::snprintf(out, size,
                             "%.5f\n%.5f\n%.3f m\n\n%.5f\n%.5f\n%.3f m\n\n%.5f\n%.5f\n%.3f m\n\n%lu\n\n"
                             "%.2f m\n%.2f m\n%.2f m\n%.2f m\n%d\n",
                             v.latitude, v.longitude, v.altitude, v.lsfLatitude, v.lsfLongitude, v.lsfAltitude,
                             v.avgLatitude, v.avgLongitude, v.avgAltitude, static_cast<unsigned long>(v.samples),
                             v.hpl, v.hfom, v.herr, v.averageHErr, static_cast<int>(v.hplViolations));
    };
    const int n = format(nullptr, 0);
    if (n <= 0)
        return {};
    std::string text(static_cast<size_t>(n), '\0');
    format(text.data(), text.size() + 1);
    return text;
}
