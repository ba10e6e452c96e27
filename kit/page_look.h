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
