#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include "app/app_settings.h"

namespace {

using namespace settings_keys;

class AppSettings : public ::testing::Test {
protected:
    void SetUp() override { Clear(); }
    void TearDown() override { Clear(); }

    static void Clear()
    {
        auto settings = OpenAppSettings();
        settings->clear();
        settings->sync();
    }

    static QVariant Raw(const char* section, const char* value)
    {
        return OpenAppSettings()->value(QString::fromLatin1(section) + '/' + QString::fromLatin1(value));
    }

    static void SetRaw(const char* section, const char* value, const QVariant& data)
    {
        auto settings = OpenAppSettings();
        settings->setValue(QString::fromLatin1(section) + '/' + QString::fromLatin1(value), data);
        settings->sync();
    }
};

TEST_F(AppSettings, FirstStartGivesTheDefaults)
{
    EXPECT_EQ(ReadCommPort(), (CommPort{1, ""}));
    EXPECT_EQ(ReadBaud(), 9600);
    EXPECT_EQ(ReadBaud(kConnectDialogBaud), 115200);
    EXPECT_FALSE(ReadDopThreshold().has_value());
    EXPECT_EQ(ReadScatterPlotMode(), 2);
    EXPECT_EQ(ReadScatterPlotMode(kDualModeScatterPlotMode), 0);
    EXPECT_EQ(ReadUserPosition(), (UserPosition{0.0, 0.0, 0.0}));
    EXPECT_EQ(ReadApplicationLook(), 32782);
    EXPECT_TRUE(ReadWindowState().isEmpty());
}

TEST_F(AppSettings, TheSettingsRootIsHelmarcStelmap)
{
    auto settings = OpenAppSettings();
    EXPECT_EQ(settings->organizationName(), "Helmarc");
    EXPECT_EQ(settings->applicationName(), "Helmarc Stelmap");
    EXPECT_EQ(settings->format(), QSettings::NativeFormat);
    EXPECT_EQ(settings->scope(), QSettings::UserScope);
}

TEST_F(AppSettings, DoublesAreEightLittleEndianBytes)
{
    // 3.0 is 0x4008000000000000.
    const char three[8] = {0, 0, 0, 0, 0, 0, 0x08, 0x40};
    EXPECT_EQ(EncodeStoredDouble(3.0), QByteArray(three, 8));
    ASSERT_TRUE(WriteDopThreshold(3.0));
    EXPECT_EQ(Raw(kSettings, kDopThreshold).toByteArray(), QByteArray(three, 8));

    struct Case {
        bool (*write)(double);
        double (*read)();
        const char* name;
    };
    const Case cases[] = {
        {WriteUserLatitude, ReadUserLatitude, kUserLatitude},
        {WriteUserLongitude, ReadUserLongitude, kUserLongitude},
        {WriteUserAltitude, ReadUserAltitude, kUserAltitude},
    };
    for (const Case& c : cases) {
        for (double value : {47.123456789, -122.987654321, 1e-300, 8848.86}) {
            ASSERT_TRUE(c.write(value));
            EXPECT_EQ(Raw(kSettings, c.name).toByteArray().size(), 8) << c.name;
            EXPECT_EQ(c.read(), value) << c.name;
        }
    }
    ASSERT_TRUE(WriteDopThreshold(2.999));
    EXPECT_EQ(ReadDopThreshold(), 2.999);
    ASSERT_TRUE(WriteDopThreshold(-1.0));   // no range limit
    EXPECT_EQ(ReadDopThreshold(), -1.0);
}

TEST_F(AppSettings, UserPositionCountsOnlyWhenExactlyEightBytes)
{
    const QByteArray seven = EncodeStoredDouble(12.5).left(7);
    const QByteArray nine = EncodeStoredDouble(12.5) + QByteArray(1, 'x');
    for (const QByteArray& bytes : {seven, nine}) {
        SetRaw(kSettings, kUserLatitude, bytes);
        EXPECT_EQ(ReadUserLatitude(), 0.0) << bytes.size();
    }
    // The DOP threshold takes the first 8 of at least 8 bytes.
    SetRaw(kSettings, kDopThreshold, nine);
    EXPECT_EQ(ReadDopThreshold(), 12.5);
    SetRaw(kSettings, kDopThreshold, seven);
    EXPECT_FALSE(ReadDopThreshold().has_value());
}

TEST_F(AppSettings, UserPositionRoundTrip)
{
    const UserPosition position{51.477928, -0.001545, 46.0};
    ASSERT_TRUE(WriteUserPosition(position));
    EXPECT_EQ(ReadUserPosition(), position);
}

TEST_F(AppSettings, CommPortHoldsANumberOrAPath)
{
    ASSERT_TRUE(WriteCommPort(CommPort{4, ""}));
    EXPECT_EQ(ReadCommPort(), (CommPort{4, ""}));
    bool isInteger = false;
    EXPECT_EQ(Raw(kSettings, kCommPort).toInt(&isInteger), 4);
    EXPECT_TRUE(isInteger);

    ASSERT_TRUE(WriteCommPort(CommPort{0, "/dev/ttyUSB0"}));
    EXPECT_EQ(ReadCommPort(), (CommPort{0, "/dev/ttyUSB0"}));
    EXPECT_EQ(Raw(kSettings, kCommPort).toString(), "/dev/ttyUSB0");

    SetRaw(kSettings, kCommPort, QStringLiteral("not a port"));
    EXPECT_EQ(ReadCommPort(), (CommPort{1, ""}));
}

TEST_F(AppSettings, IntegersRoundTripAndGarbageGivesTheDefault)
{
    ASSERT_TRUE(WriteBaud(57600));
    EXPECT_EQ(ReadBaud(), 57600);
    ASSERT_TRUE(WriteScatterPlotMode(1));
    EXPECT_EQ(ReadScatterPlotMode(), 1);
    EXPECT_EQ(ReadScatterPlotMode(0), 1);
    ASSERT_TRUE(WriteApplicationLook(12345));   // an unknown look is kept as stored
    EXPECT_EQ(ReadApplicationLook(), 12345);

    SetRaw(kSettings, kBaud, QStringLiteral("fast"));
    EXPECT_EQ(ReadBaud(), 9600);
    SetRaw(kWorkspace, kApplicationLook, QStringLiteral("blue"));
    EXPECT_EQ(ReadApplicationLook(), 32782);
}

TEST_F(AppSettings, WindowLayoutRoundTrip)
{
    const QByteArray state("\x00\x01toolbar layout\xff", 17);
    ASSERT_TRUE(WriteWindowState(state));
    EXPECT_EQ(ReadWindowState(), state);
    ASSERT_TRUE(WriteWindowGeometry(QByteArray("geometry")));
    EXPECT_EQ(ReadWindowGeometry(), QByteArray("geometry"));
}

TEST_F(AppSettings, AFailedWriteIsReported)
{
    // An empty folder where the settings file belongs cannot be written as a file.
    const QString file = OpenAppSettings()->fileName();
    ASSERT_TRUE(file.startsWith(QDir::tempPath()) && file.endsWith(QStringLiteral("/Helmarc/Helmarc Stelmap.conf")))
        << "not the test's own settings: " << file.toStdString();
    QFile::remove(file);
    ASSERT_TRUE(QDir().mkpath(file));
    EXPECT_FALSE(WriteBaud(4800));
    EXPECT_FALSE(WriteDopThreshold(2.0));
    EXPECT_FALSE(WriteCommPort(CommPort{0, "/dev/ttyUSB0"}));
    EXPECT_FALSE(WriteApplicationLook(32781));
    EXPECT_TRUE(QDir().rmdir(file));   // only ever an empty folder
    EXPECT_TRUE(WriteBaud(4800));
}

}  // namespace
