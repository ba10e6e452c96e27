#pragma once

// Stelmap's own pictures, compiled into the program from resources/app.qrc
// (drawn by tools/artwork). The resource library is static, so the program
// and the tests call InitAppResources once before loading any of them.
void InitAppResources();

namespace pictures {

// Tabs of the child view, 16 x 16, in tab order.
inline constexpr char kTabFrontPanel[] = ":/app/tab_house.png";
inline constexpr char kTabScatterPlot[] = ":/app/tab_globe.png";
inline constexpr char kTabPositionPlot[] = ":/app/tab_chart.png";
inline constexpr char kTabNmeaMonitor[] = ":/app/tab_text_window.png";
inline constexpr char kTabReceiverConfig[] = ":/app/tab_key.png";
inline constexpr char kTabSignals[] = ":/app/tab_signals.png";

// Status-bar lamps, 16 x 16: transmit is red, receive green.
inline constexpr char kTxLit[] = ":/app/lamp_red_lit.png";
inline constexpr char kTxIdle[] = ":/app/lamp_red_idle.png";
inline constexpr char kRxLit[] = ":/app/lamp_green_lit.png";
inline constexpr char kRxIdle[] = ":/app/lamp_green_idle.png";

// The "Standard" toolbar, 32 x 32.
inline constexpr char kToolConnect[] = ":/app/tool_connect.png";
inline constexpr char kToolRecord[] = ":/app/tool_record.png";
inline constexpr char kToolStop[] = ":/app/tool_stop.png";
inline constexpr char kToolPlayBack[] = ":/app/tool_play_back.png";
inline constexpr char kToolAbout[] = ":/app/tool_about.png";

// The About box's picture, 447 x 189, and the update alert's bell, 32 x 32.
inline constexpr char kAbout[] = ":/app/about.png";
inline constexpr char kAlertBell[] = ":/app/alert_bell.png";

// The application icon at 16, 32, 48 and 256 pixels.
inline constexpr char kAppIcon16[] = ":/app/stelmap_16.png";
inline constexpr char kAppIcon32[] = ":/app/stelmap_32.png";
inline constexpr char kAppIcon48[] = ":/app/stelmap_48.png";
inline constexpr char kAppIcon256[] = ":/app/stelmap_256.png";

}  // namespace pictures
