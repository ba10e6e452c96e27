#include "kit/page_look.h"

#include <algorithm>
#include <cmath>

PageColors PageColorsForLook(int appLook, int office2007Style)
{
    if (appLook < kFirstAppLook || appLook > kLastAppLook)
        appLook = office2007Style;
    switch (appLook) {
    case kLookOffice2007Blue:
        return {{255, 255, 255}, {64, 64, 128}, false};
    case kLookOffice2007Black:
        return {{32, 32, 32}, {192, 192, 192}, false};
    case kLookOffice2007Aqua:
        return {{181, 182, 206}, {0, 0, 128}, false};
    case kLookOffice2007Silver:
        return {{214, 215, 222}, {0, 0, 96}, false};
    case kLookPlain:
        return {{}, {}, true};
    default:
        return {{255, 255, 255}, {0, 0, 128}, false};
    }
}

std::array<GradientBand, 255> BlackStyleGradientBands(int top, int bottom)
{
    std::array<GradientBand, 255> bands;
    const float step = static_cast<float>(bottom - top) / 255.0f;
    for (int i = 0; i < 255; ++i) {
        const float fi = static_cast<float>(i);
        bands[static_cast<std::size_t>(i)].top = top + static_cast<int>(fi * step);
        bands[static_cast<std::size_t>(i)].bottom = top + static_cast<int>((fi + 1.0f) * step);
        bands[static_cast<std::size_t>(i)].grey = static_cast<uint8_t>(static_cast<int>(96.0f - fi * 80.0f / 255.0f));
    }
    return bands;
}

PageBackground PageBackgroundForLook(int appLook, int office2007Style)
{
    if (appLook < kFirstAppLook || appLook > kLastAppLook)
        appLook = office2007Style;
    switch (appLook) {
    case kLookPlain:
        return {{}, {}, true};
    case kLookOffice2007Black:
        return {{96, 96, 96}, {16, 16, 16}, false};
    case kLookOffice2007Blue:
        return {{227, 239, 255}, {175, 210, 255}, false};
    case kLookOffice2007Silver:
        return {{242, 244, 247}, {200, 204, 216}, false};
    case kLookOffice2007Aqua:
        return {{225, 229, 238}, {181, 182, 206}, false};
    case kLookOffice2003:
        return {{227, 239, 255}, {123, 164, 224}, false};
    case kLookVisualStudio2005:
    case kLookVisualStudio2008:
        return {{250, 250, 253}, {204, 211, 230}, false};
    case kLookWindows7:
        return {{255, 255, 255}, {218, 228, 242}, false};
    default:  // Office XP, the native theme
        return {{246, 246, 246}, {220, 220, 220}, false};
    }
}

namespace {

double Linear(uint8_t channel)
{
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(Rgb c) { return 0.2126 * Linear(c.r) + 0.7152 * Linear(c.g) + 0.0722 * Linear(c.b); }

}  // namespace

double ContrastRatio(Rgb a, Rgb b)
{
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Rgb ReadableTextColor(Rgb preferred, Rgb a, Rgb b)
{
    const auto worst = [&](Rgb text) { return std::min(ContrastRatio(text, a), ContrastRatio(text, b)); };
    if (worst(preferred) >= kReadableContrast)
        return preferred;
    const Rgb black{0, 0, 0}, white{255, 255, 255};
    return worst(black) >= worst(white) ? black : white;
}
