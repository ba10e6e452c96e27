#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// The receiver's two configuration commands and the list items they are
// composed from. The texts are sent without checksum; the sender adds it.

inline constexpr std::string_view kKeepItem = "<keep>";

inline constexpr std::array<std::string_view, 3> kProtocolItems = {"NMEA", "MAVLink", "<keep>"};
inline constexpr std::array<std::string_view, 3> kPersistItems = {"Reset", "Persist", "<keep>"};

// In the order of their bits in the PXTNNOM sentence mask.
inline constexpr std::array<std::string_view, 14> kNomItems = {
    "RMC", "GGA", "GSA",  "GSV", "GLL", "VTG",  "ZDA",
    "RAIM", "SBMC", "PRM", "ALT", "VV",  "STAT", "<keep>"};

// A list's selection: the selected item's text, or nothing selected.
using ListChoice = std::optional<std::string_view>;

// "$PXTNCFG,<COM1>,<COM2>,,,,,," with "N" for NMEA, "M" for MAVLink and an
// empty field for "<keep>" or no selection.
std::string ComposePXTNCFG(ListChoice com1Protocol, ListChoice com2Protocol);

// Bit i set for every selected item i (items past bit 31 cannot be expressed
// and are ignored).
uint32_t SentenceMask(std::span<const bool> selected);

// "$PXTNNOM,<mask>,<persist>": the mask of the selected NOM items as eight
// uppercase hex digits, or empty when "<keep>" is among them; "1" for
// Persist, "0" for Reset, empty for "<keep>" or no selection.
// `nomSelected` holds one flag per item of kNomItems.
std::string ComposePXTNNOM(std::span<const bool> nomSelected, ListChoice persist);
