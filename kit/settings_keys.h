#pragma once

// Where Stelmap keeps its settings, and the names and defaults of the values.
// Doubles are stored as 8 bytes (IEEE 754, little-endian), integers as
// integers; app_settings.h reads and writes each value.

namespace settings_keys {

// QSettings(QSettings::NativeFormat, QSettings::UserScope, kOrganization, kApplication)
inline constexpr char kOrganization[] = "Helmarc";
inline constexpr char kApplication[] = "Helmarc Stelmap";

// Sections.
inline constexpr char kSettings[] = "Settings";
inline constexpr char kWorkspace[] = "Workspace";
inline constexpr char kSendHistory[] = "QX5Monitor History";

// "Settings"
inline constexpr char kCommPort[] = "Comm Port";          // integer n (COMn), a device path or a network source
inline constexpr char kBaud[] = "Baud";                   // integer
inline constexpr char kDopThreshold[] = "DOP Threshold";  // 8-byte double
inline constexpr char kScatterPlotMode[] = "Scatter Plot Mode";  // integer 0, 1 or 2
inline constexpr char kUserLatitude[] = "User Latitude";  // 8-byte double, degrees
inline constexpr char kUserLongitude[] = "User Longitude";
inline constexpr char kUserAltitude[] = "User Altitude";  // 8-byte double, metres
inline constexpr char kAlertLimit[] = "Alert Limit";      // 8-byte double, metres (Accuracy page)
inline constexpr char kReconnectAutomatically[] = "Reconnect Automatically";  // integer 0 or 1
inline constexpr char kRecentSources[] = "Recent Sources";  // network source texts, newest first

// "Workspace"
inline constexpr char kApplicationLook[] = "ApplicationLook";  // integer, a look id
inline constexpr char kWindowState[] = "WindowState";          // QMainWindow::saveState
inline constexpr char kWindowGeometry[] = "WindowGeometry";    // QWidget::saveGeometry
inline constexpr char kToolbars[] = "Toolbars";                // ToolbarLayout::Serialize

// Defaults.
inline constexpr int kDefaultCommPort = 1;
inline constexpr int kDefaultBaud = 9600;            // opening the saved port at start-up
inline constexpr int kConnectDialogBaud = 115200;    // what the Connect dialog proposes
inline constexpr double kDefaultDopThreshold = 3.0;
inline constexpr int kDefaultScatterPlotMode = 2;    // centre on the next position sample
inline constexpr int kDualModeScatterPlotMode = 0;   // the dual-mode switch falls back to the user position
inline constexpr double kDefaultUserPosition = 0.0;
inline constexpr double kDefaultAlertLimit = 40.0;
inline constexpr bool kDefaultReconnectAutomatically = true;
inline constexpr int kRecentSourcesKept = 8;
inline constexpr int kDefaultApplicationLook = 32782;  // Office 2007, black style

// Centring modes of the scatter plot.
inline constexpr int kScatterCenterUser = 0;
inline constexpr int kScatterCenterAverage = 1;
inline constexpr int kScatterCenterNextSample = 2;

}  // namespace settings_keys
