#pragma once

#include <QByteArray>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/comm_port.h"
#include "kit/settings_keys.h"
#include "app/toolbar_layout.h"
#include "app/user_position.h"

class QSettings;

// One read-with-default and one write per stored value of "Settings" and
// "Workspace". Every write is flushed at once and returns false when the
// settings store could not be written, so the caller can tell the user.

// The application's settings root (organisation "Helmarc", application
// "Helmarc Stelmap", native format, per user).
std::unique_ptr<QSettings> OpenAppSettings();

// "Comm Port": an integer n (COMn) or a device path; default 1.
CommPort ReadCommPort();
bool WriteCommPort(const CommPort& port);

// "Reconnect Automatically": on by default.
bool ReadReconnectAutomatically();
bool WriteReconnectAutomatically(bool on);

// "Recent Sources": the network sources connected to, newest first.
std::vector<std::string> ReadRecentSources();
bool AddRecentSource(const std::string& text);

// "Baud": 9600 for the start-up open, 115200 for the Connect dialog.
int ReadBaud(int defaultBaud = settings_keys::kDefaultBaud);
bool WriteBaud(int baud);

// "DOP Threshold": the first 8 bytes as a double when at least 8 are stored;
// nullopt otherwise (the scatter plot then keeps its own default, the
// threshold dialog proposes 3.0).
std::optional<double> ReadDopThreshold();
bool WriteDopThreshold(double threshold);

// "Scatter Plot Mode": 2 by default; the dual-mode commands read it with 0.
int ReadScatterPlotMode(int defaultMode = settings_keys::kDefaultScatterPlotMode);
bool WriteScatterPlotMode(int mode);

// "User Latitude", "User Longitude", "User Altitude": a value counts only
// when it is exactly 8 bytes long; 0.0 otherwise.
double ReadUserLatitude();
double ReadUserLongitude();
double ReadUserAltitude();
bool WriteUserLatitude(double latitude);
bool WriteUserLongitude(double longitude);
bool WriteUserAltitude(double altitude);
UserPosition ReadUserPosition();
bool WriteUserPosition(const UserPosition& position);

// "Alert Limit": the Accuracy page's horizontal alert limit in metres; 40
// when none is stored or what is stored is not above 0.
double ReadAlertLimit();
bool WriteAlertLimit(double metres);

// "ApplicationLook" in "Workspace": a look id, 32782 by default. Any stored
// integer is returned as it is; an unknown one selects the Office 2007 look.
int ReadApplicationLook();
bool WriteApplicationLook(int appLook);

// The main window's toolbar and docking layout and its geometry in
// "Workspace"; empty when none is saved.
QByteArray ReadWindowState();
bool WriteWindowState(const QByteArray& state);
QByteArray ReadWindowGeometry();
bool WriteWindowGeometry(const QByteArray& geometry);
// Which toolbars exist and their buttons ("Toolbars" in "Workspace");
// nullopt when none is saved or the value is not a layout.
std::optional<ToolbarLayout> ReadToolbarLayout();
bool WriteToolbarLayout(const ToolbarLayout& layout);

// Doubles as stored: 8 bytes, IEEE 754, little-endian.
QByteArray EncodeStoredDouble(double value);
// The first 8 bytes as a double; nullopt when fewer are given.
std::optional<double> DecodeStoredDouble(const QByteArray& bytes);
