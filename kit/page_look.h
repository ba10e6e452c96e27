#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "kit/command_ids.h"

// Application looks, by the command id that selects each.
enum AppLook : int {
    kLookPlain = kCmdLookPlain,
    kLookOfficeXP = kCmdLookOfficeXP,
    kLookWindowsNative = kCmdLookWindowsNative,
    kLookOffice2003 = kCmdLookOffice2003,
    kLookVisualStudio2005 = kCmdLookVisualStudio2005,
    kLookVisualStudio2008 = kCmdLookVisualStudio2008,
    kLookOffice2007Blue = kCmdLookOffice2007Blue,
    kLookOffice2007Black = kCmdLookOffice2007Black,
    kLookOffice2007Silver = kCmdLookOffice2007Silver,
    kLookOffice2007Aqua = kCmdLookOffice2007Aqua,
    kLookWindows7 = kCmdLookWindows7,
};

inline constexpr int kFirstAppLook = kLookPlain;
inline constexpr int kLastAppLook = kLookWindows7;

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

struct PageColors {
    Rgb background;
    Rgb text;
    // The plain look uses the system's button-face and window-text colours,
    // which only the widget layer knows.
    bool systemColors = false;
    bool operator==(const PageColors&) const = default;
};

// Background and text colours of the drawn pages for a look id. An id
// outside the range behaves as the Office 2007 look in `office2007Style`.
PageColors PageColorsForLook(int appLook, int office2007Style = kLookOffice2007Blue);

// The black style's background: 255 horizontal grey bands from 96 at the top
// to about 16 at the bottom, computed in single precision.
struct GradientBand {
    int top = 0;     // first row
    int bottom = 0;  // one past the last row; equal to top for an empty band
    uint8_t grey = 0;
    bool operator==(const GradientBand&) const = default;
};
std::array<GradientBand, 255> BlackStyleGradientBands(int top, int bottom);

// What a look paints behind the drawn pages: a vertical gradient from `top`
// to `bottom` (the black style's grey bands included). Every channel runs one
// way, so the two ends are the lightest and darkest of it. The plain look
// paints nothing of its own (`systemColors`).
struct PageBackground {
    Rgb top;
    Rgb bottom;
    bool systemColors = false;
    bool operator==(const PageBackground&) const = default;
};
PageBackground PageBackgroundForLook(int appLook, int office2007Style = kLookOffice2007Blue);

// The contrast ratio of two colours as WCAG 2 defines it: (L1 + 0.05) /
// (L2 + 0.05) of their relative luminances, from 1 (the same) to 21.
double ContrastRatio(Rgb a, Rgb b);

// The least contrast small text needs to be read (WCAG 2, level AA).
inline constexpr double kReadableContrast = 4.5;

// `preferred` when it has kReadableContrast against both `a` and `b` (the ends
// of a background), otherwise black or white, whichever contrasts more with
// the worse of the two.
Rgb ReadableTextColor(Rgb preferred, Rgb a, Rgb b);
