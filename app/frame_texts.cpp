#include "app/frame_texts.h"

#include <charconv>
#include <cstdio>

std::string RecordPaneText(bool recording, uint64_t n)
{
    if (!recording)
        return "Record Data OFF          ";
    char text[64];
    if (n > 1048576)
        std::snprintf(text, sizeof text, "Rec Data: %.02f MB", static_cast<double>(n) / 1048576.0);
    else if (n > 1024)
        std::snprintf(text, sizeof text, "Rec Data: %.01f K", static_cast<double>(n) / 1024.0);
    else
        std::snprintf(text, sizeof text, "Rec Data: %llu bytes", static_cast<unsigned long long>(n));
    return text;
}

std::string QualityPaneText(std::string_view fixQualityText)
{
    return "GPS Quality: " + std::string(fixQualityText);
}

std::string DualModePaneText(bool dualMode)
{
    return dualMode ? "Dual Mode: On" : "Dual Mode: Off";
}

std::string SolutionModePaneText(int solutionMode)
{
    return std::string("Solution Mode: ") + (solutionMode != 0 ? "Precision" : "Integrity");
}

std::string PlaybackTitle(std::string_view path)
{
    const size_t slash = path.find_last_of('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    return std::string(kAppTitle) + " - [Playback: " + std::string(name) + "]";
}

std::string ReceivedTextForLog(std::string_view bytes)
{
    std::string text;
    text.reserve(bytes.size());
    for (char c : bytes)
        if (c != '\r')
            text += c;
    return text;
}

bool ParseConnectOption(std::string_view text, ConnectOption& out)
{
    out = {};
    const size_t at = text.rfind('@');
    out.port = std::string(text.substr(0, at));
    if (at == std::string_view::npos)
        return !out.port.empty();
    const std::string_view baud = text.substr(at + 1);
    const auto [end, error] = std::from_chars(baud.data(), baud.data() + baud.size(), out.baud);
    return !out.port.empty() && error == std::errc() && end == baud.data() + baud.size() && out.baud > 0;
}
