#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "displays/signal_trails.h"
#include "displays/sky_plot_geometry.h"
#include "kit/page_look.h"
#include "kit/pixel_geometry.h"
#include "nmea/gnss_snapshot.h"

// The Signals page as numbers: filter chips, signal bars grouped by system,
// a sky plot of every system with fading trails, a table per system and
// the lines of date, fix modes, GST and GBS. The widget paints what this
// computes and nothing else.

// A colour per system that reads on the light and the dark looks alike.
Rgb SystemColor(GnssSystem system);
// The one-letter prefix of the sky plot's labels (RINEX letters: G, S, R,
// E, C, J, I; "?" for unknown).
char SystemLetter(GnssSystem system);

// Which systems and bands are shown.
struct SignalsFilter {
    std::array<bool, kGnssSystemCount> systems{true, true, true, true, true, true, true, true};
    std::array<bool, kGnssBandCount> bands{true, true, true, true, true, true};

    bool Shows(const GnssSignalView& signal) const;
    bool operator==(const SignalsFilter&) const = default;
};

// The figures of the table for one system, over the signals shown.
struct SystemSummary {
    GnssSystem system = GnssSystem::Unknown;
    int inView = 0;  // satellites, not signals
    int used = 0;
    std::optional<double> meanCnr;      // over signals with a C/N0
    std::optional<double> meanTop4Cnr;  // of the four strongest (fewer when fewer)

    bool operator==(const SystemSummary&) const = default;
};

// One entry per system with at least one shown signal, in system order.
std::vector<SystemSummary> SummariseSystems(const std::vector<GnssSignalView>& views, const SignalsFilter& filter);

struct SignalsChip {
    PixelRect box;
    std::string text;
    bool on = true;
    bool system = true;  // a system chip, else a band chip
    int index = 0;       // SystemIndex or band index
    bool operator==(const SignalsChip&) const = default;
};

struct SignalsText {
    PixelRect box;
    std::string text;
    bool operator==(const SignalsText&) const = default;
};

struct SignalsLegendEntry {
    PixelRect swatch;
    SignalsText label;
    GnssSystem system = GnssSystem::Unknown;
    bool operator==(const SignalsLegendEntry&) const = default;
};

struct SignalsBar {
    PixelRect slot;  // the full-height outline
    PixelRect bar;   // the filled part; empty without a C/N0
    GnssSystem system = GnssSystem::Unknown;
    bool used = false;
    bool suspect = false;
    // 0 for a satellite's first signal shown, 1 for its second...: the bars
    // of one satellite's bands are told apart by their fill.
    int band = 0;
    // The number centred over the satellite's bars; numbers and signal names
    // are thinned evenly across all systems where they do not all fit.
    std::optional<SignalsText> number;
    std::optional<SignalsText> signal;
    std::string tip;  // system, number, signal, elevation, azimuth, C/N0, used
    bool operator==(const SignalsBar&) const = default;
};

struct SignalsBarGroup {
    SignalsText label;  // the system's name, centred under its bars
    GnssSystem system = GnssSystem::Unknown;
    bool operator==(const SignalsBarGroup&) const = default;
};

struct SignalsScaleLine {
    int y = 0;
    SignalsText label;  // dB-Hz
    bool operator==(const SignalsScaleLine&) const = default;
};

struct SignalsSkyMark {
    PixelPoint point;
    PixelRect symbol;
    SignalsText label;
    GnssSystem system = GnssSystem::Unknown;
    bool used = false;
    bool suspect = false;
    bool labelled = true;  // false where the label would cover another
    std::string tip;       // every shown signal of the satellite
    bool operator==(const SignalsSkyMark&) const = default;
};

struct SignalsTrailSegment {
    PixelPoint from;
    PixelPoint to;
    GnssSystem system = GnssSystem::Unknown;
    int fade = 0;  // 0 newest to kTrailFadeSteps - 1 oldest
    bool operator==(const SignalsTrailSegment&) const = default;
};
inline constexpr int kTrailFadeSteps = 8;

struct SignalsTableCell {
    PixelRect box;
    std::string text;
    bool header = false;
    bool rightAligned = false;
    std::optional<GnssSystem> system;  // a row's first cell carries its colour
    bool operator==(const SignalsTableCell&) const = default;
};

struct SignalsInfoLine {
    SignalsText text;
    bool highlight = false;  // GBS names a suspect satellite
    bool operator==(const SignalsInfoLine&) const = default;
};

struct SignalsPageLayout {
    std::vector<SignalsText> filterCaptions;  // "Systems:", "Bands:"
    std::vector<SignalsChip> chips;
    std::vector<SignalsLegendEntry> legend;
    PixelRect barArea;  // where the bars stand, 0 at the bottom, 60 dB-Hz at the top
    std::vector<SignalsScaleLine> scale;
    std::vector<SignalsBar> bars;
    std::vector<SignalsBarGroup> groups;
    SkyPlotSquare sky;
    std::vector<SignalsText> compass;  // N, E, S, W inside the horizon
    std::vector<SignalsTrailSegment> trails;
    std::vector<SignalsSkyMark> marks;
    std::vector<SignalsTableCell> table;
    std::vector<SignalsInfoLine> info;
    // Where the table of every shown signal goes (SatelliteRows); empty when
    // the page has no room for three rows of it.
    PixelRect satelliteTable;
};

// One row of the satellite table: a shown signal.
struct SatelliteRow {
    GnssSystem system = GnssSystem::Unknown;
    int number = 0;
    std::string signal;  // its name, or the signal ID, "" when not given
    std::optional<int> elevation;
    std::optional<int> azimuth;
    std::optional<int> cnr;
    bool used = false;
    bool operator==(const SatelliteRow&) const = default;
};
std::vector<SatelliteRow> SatelliteRows(const GnssSnapshot& gnss, const SignalsFilter& filter);
// The tooltip of one signal: "GPS 5 L1 C/A: elevation 40°, azimuth 100°,
// C/N0 44 dB-Hz, used".
std::string SignalTip(const GnssSignalView& signal);

inline constexpr int kBarScaleTop = 60;  // dB-Hz at the top of the bar area

SignalsPageLayout LayoutSignalsPage(const PixelRect& client, const GnssSnapshot& gnss, const SignalsFilter& filter,
                                    const SignalTrails& trails, double now, const TextMeasure& measure);

// The chip at (x, y), or nullptr.
const SignalsChip* ChipAt(const SignalsPageLayout& layout, int x, int y);
// The tooltip at (x, y): a bar's or a sky mark's; empty elsewhere.
std::string TipAt(const SignalsPageLayout& layout, int x, int y);
