#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The texts the main window shows, as pure functions of its state.

inline constexpr const char* kAppTitle = "Helmarc Stelmap";
inline constexpr const char* kConfigurationQuery = "$PXTNCFG*50";

// Status bar pane 2: "Record Data OFF" padded, or the size recorded so far.
std::string RecordPaneText(bool recording, uint64_t recordedBytes);

// Pane 1: "GPS Quality: " and the fix-quality text.
std::string QualityPaneText(std::string_view fixQualityText);

// Panes 6 and 7.
std::string DualModePaneText(bool dualMode);
std::string SolutionModePaneText(int solutionMode);

// The window title while `path` plays back: the file name without folders.
std::string PlaybackTitle(std::string_view path);

// Received bytes as the receive log shows them: every CR left out.
std::string ReceivedTextForLog(std::string_view bytes);

// "PORT" or "PORT@BAUD" from --connect; false when BAUD is not a number.
struct ConnectOption {
    std::string port;
    int baud = 0;  // 0: keep the saved rate
};
bool ParseConnectOption(std::string_view text, ConnectOption& out);
