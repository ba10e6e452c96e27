#include "app/app_settings.h"

#include <QSettings>
#include <QVariant>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "link/source_text.h"

namespace {

using namespace settings_keys;

QString Key(const char* section, const char* value)
{
    return QString::fromLatin1(section) + QLatin1Char('/') + QString::fromLatin1(value);
}

QVariant ReadValue(const char* section, const char* value)
{
    return OpenAppSettings()->value(Key(section, value));
}

bool WriteValue(const char* section, const char* value, const QVariant& data)
{
    const std::unique_ptr<QSettings> settings = OpenAppSettings();
    settings->setValue(Key(section, value), data);
    settings->sync();
    return settings->status() == QSettings::NoError;
}

int ReadInteger(const char* section, const char* value, int defaultValue)
{
    const QVariant data = ReadValue(section, value);
    bool ok = false;
    const int number = data.toInt(&ok);
    return ok ? number : defaultValue;
}

// A user-position value counts only when it is exactly one double long.
double ReadExactDouble(const char* value)
{
    const QByteArray bytes = ReadValue(kSettings, value).toByteArray();
    if (bytes.size() != 8)
        return kDefaultUserPosition;
    return DecodeStoredDouble(bytes).value_or(kDefaultUserPosition);
}

bool WriteDouble(const char* value, double number)
{
    return WriteValue(kSettings, value, EncodeStoredDouble(number));
}

}  // namespace

std::unique_ptr<QSettings> OpenAppSettings()
{
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QString::fromLatin1(kOrganization),
                                       QString::fromLatin1(kApplication));
}

QByteArray EncodeStoredDouble(double value)
{
    uint64_t bits = std::bit_cast<uint64_t>(value);
    QByteArray bytes(8, '\0');
    for (int i = 0; i < 8; ++i) {
        bytes[i] = static_cast<char>(bits & 0xFF);
        bits >>= 8;
    }
    return bytes;
}

std::optional<double> DecodeStoredDouble(const QByteArray& bytes)
{
    if (bytes.size() < 8)
        return std::nullopt;
    uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = (bits << 8) | static_cast<uint8_t>(bytes[i]);
    return std::bit_cast<double>(bits);
}

CommPort ReadCommPort()
{
    const QVariant data = ReadValue(kSettings, kCommPort);
    bool ok = false;
    const int number = data.toInt(&ok);
    if (ok)
        return CommPort{number, {}};
    const std::string text = data.toString().toStdString();
    if (ParseSourceText(text).Ok())
        return CommPortFromText(text);
    return CommPort{kDefaultCommPort, {}};
}

bool WriteCommPort(const CommPort& port)
{
    if (port.IsPath())
        return WriteValue(kSettings, kCommPort, QString::fromStdString(port.path));
    return WriteValue(kSettings, kCommPort, port.number);
}

bool ReadReconnectAutomatically()
{
    return ReadInteger(kSettings, kReconnectAutomatically, kDefaultReconnectAutomatically ? 1 : 0) != 0;
}

bool WriteReconnectAutomatically(bool on) { return WriteValue(kSettings, kReconnectAutomatically, on ? 1 : 0); }

std::vector<std::string> ReadRecentSources()
{
    std::vector<std::string> sources;
    for (const QString& text : ReadValue(kSettings, kRecentSources).toStringList())
        if (ParseSourceText(text.toStdString()).Ok())
            sources.push_back(text.toStdString());
    return sources;
}

bool AddRecentSource(const std::string& text)
{
    QStringList list{QString::fromStdString(text)};
    for (const std::string& kept : ReadRecentSources())
        if (!SameSource(kept, text) && list.size() < kRecentSourcesKept)
            list << QString::fromStdString(kept);
    return WriteValue(kSettings, kRecentSources, list);
}

int ReadBaud(int defaultBaud) { return ReadInteger(kSettings, kBaud, defaultBaud); }

bool WriteBaud(int baud) { return WriteValue(kSettings, kBaud, baud); }

std::optional<double> ReadDopThreshold()
{
    return DecodeStoredDouble(ReadValue(kSettings, kDopThreshold).toByteArray());
}

bool WriteDopThreshold(double threshold) { return WriteDouble(kDopThreshold, threshold); }

double ReadAlertLimit()
{
    const std::optional<double> stored = DecodeStoredDouble(ReadValue(kSettings, kAlertLimit).toByteArray());
    return stored && *stored > 0.0 && std::isfinite(*stored) ? *stored : kDefaultAlertLimit;
}

bool WriteAlertLimit(double metres) { return WriteDouble(kAlertLimit, metres); }

int ReadScatterPlotMode(int defaultMode)
{
    return ReadInteger(kSettings, kScatterPlotMode, defaultMode);
}

bool WriteScatterPlotMode(int mode) { return WriteValue(kSettings, kScatterPlotMode, mode); }

double ReadUserLatitude() { return ReadExactDouble(kUserLatitude); }
double ReadUserLongitude() { return ReadExactDouble(kUserLongitude); }
double ReadUserAltitude() { return ReadExactDouble(kUserAltitude); }

bool WriteUserLatitude(double latitude) { return WriteDouble(kUserLatitude, latitude); }
bool WriteUserLongitude(double longitude) { return WriteDouble(kUserLongitude, longitude); }
bool WriteUserAltitude(double altitude) { return WriteDouble(kUserAltitude, altitude); }

UserPosition ReadUserPosition()
{
    return UserPosition{ReadUserLatitude(), ReadUserLongitude(), ReadUserAltitude()};
}

bool WriteUserPosition(const UserPosition& position)
{
    // All three are attempted even if one fails, so as much as possible is kept.
    const bool latitude = WriteUserLatitude(position.latitude);
    const bool longitude = WriteUserLongitude(position.longitude);
    const bool altitude = WriteUserAltitude(position.altitude);
    return latitude && longitude && altitude;
}

int ReadApplicationLook()
{
    return ReadInteger(kWorkspace, kApplicationLook, kDefaultApplicationLook);
}

bool WriteApplicationLook(int appLook) { return WriteValue(kWorkspace, kApplicationLook, appLook); }

QByteArray ReadWindowState() { return ReadValue(kWorkspace, kWindowState).toByteArray(); }

bool WriteWindowState(const QByteArray& state) { return WriteValue(kWorkspace, kWindowState, state); }

QByteArray ReadWindowGeometry() { return ReadValue(kWorkspace, kWindowGeometry).toByteArray(); }

bool WriteWindowGeometry(const QByteArray& geometry)
{
    return WriteValue(kWorkspace, kWindowGeometry, geometry);
}

std::optional<ToolbarLayout> ReadToolbarLayout()
{
    const QVariant value = ReadValue(kWorkspace, kToolbars);
    if (!value.isValid())
        return std::nullopt;
    return ToolbarLayout::Parse(value.toString().toStdString());
}

bool WriteToolbarLayout(const ToolbarLayout& layout)
{
    return WriteValue(kWorkspace, kToolbars, QString::fromStdString(layout.Serialize()));
}
