#pragma once

// Command and menu ids of the receiver console. The clear commands belong to
// the application: the log's context menus send them to the main window.
inline constexpr int kIdClearTransmitScreen = 32797;
inline constexpr int kIdClearReceiveScreen = 32798;

inline constexpr int kMenuNmeaMonitorRx = 106;  // "Clear &Receive Screen"
inline constexpr int kMenuNmeaMonitorTx = 121;  // "Clear &Transmit Screen"
