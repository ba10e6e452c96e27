#include "kit/page_look.h"

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
