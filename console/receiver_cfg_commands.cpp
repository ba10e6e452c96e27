#include "console/receiver_cfg_commands.h"

#include <algorithm>
#include <cstdio>

namespace {

std::string_view ProtocolLetter(ListChoice choice)
{
    if (!choice || *choice == kKeepItem)
        return {};
    if (*choice == "MAVLink")
        return "M";
    if (*choice == "NMEA")
        return "N";
    return {};
}

std::string_view PersistFlag(ListChoice choice)
{
    if (!choice || *choice == kKeepItem)
        return {};
    if (*choice == "Persist")
        return "1";
    if (*choice == "Reset")
        return "0";
    return {};
}

}  // namespace

std::string ComposePXTNCFG(ListChoice com1Protocol, ListChoice com2Protocol)
{
    std::string text = "$PXTNCFG,";
    text += ProtocolLetter(com1Protocol);
    text += ',';
    text += ProtocolLetter(com2Protocol);
    text += ",,,,,,";  // fields 2 to 7, always empty
    return text;
}

uint32_t SentenceMask(std::span<const bool> selected)
{
    uint32_t mask = 0;
    for (size_t i = 0; i < std::min<size_t>(selected.size(), 32); ++i) {
        if (selected[i])
            mask |= uint32_t{1} << i;
    }
    return mask;
}

std::string ComposePXTNNOM(std::span<const bool> nomSelected, ListChoice persist)
{
    std::string text = "$PXTNNOM,";
    const auto keep = std::find(kNomItems.begin(), kNomItems.end(), kKeepItem) - kNomItems.begin();
    const bool keepSelected = static_cast<size_t>(keep) < nomSelected.size() && nomSelected[keep];
    if (!keepSelected) {
        char hex[9];
        std::snprintf(hex, sizeof hex, "%08X", static_cast<unsigned>(SentenceMask(nomSelected)));
        text += hex;
    }
    text += ',';
    text += PersistFlag(persist);
    return text;
}
