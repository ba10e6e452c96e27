// Both console pages sending through one sender to a pseudo-terminal, as the
// main window wires them to the receiver's port.
#include <gtest/gtest.h>

#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QTest>

#include "console/history_combo.h"
#include "console/log_edit_ctrl.h"
#include "console/nmea_monitor_wnd.h"
#include "console/receiver_cfg_wnd.h"
#include "console/sentence_sender.h"
#include "console/tests/pty_sentence_link.h"

namespace {

class ConsolePtyTest : public ::testing::Test {
protected:
    ConsolePtyTest()
    {
        QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Helmarc"),
                  QStringLiteral("Helmarc Stelmap"))
            .clear();
        monitor = std::make_unique<NmeaMonitorWnd>();
        config = std::make_unique<ReceiverCfgWnd>();
        sender.SetLink(&link);
        sender.SetActivityNotice([this] { ++notices; });
        sender.SetTransmitLog([this](std::string_view bytes) { monitor->AppendTransmitted(bytes); });
        monitor->SetSentenceSender(&sender);
        config->SetSentenceSender(&sender);
        monitor->resize(640, 400);
        config->resize(480, 360);
        monitor->show();
        config->show();
        QApplication::processEvents();
    }

    void SendTyped(const QString& text, bool checksum)
    {
        if (monitor->ChecksumTick()->isChecked() != checksum)
            QTest::mouseClick(monitor->ChecksumTick(), Qt::LeftButton, {}, QPoint(6, 8));
        monitor->ComboSend()->setEditText(QString());
        // Typed where keys exist for it; completion may then have added the
        // rest of an earlier entry, so the text is set as well.
        if (std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; }))
            QTest::keyClicks(monitor->ComboSend()->lineEdit(), text);
        monitor->ComboSend()->setEditText(text);
        QTest::mouseClick(monitor->ButtonSend(), Qt::LeftButton);
    }

    static void Choose(QListWidget* list, const char* text)
    {
        QListWidgetItem* item = list->findItems(QString::fromLatin1(text), Qt::MatchExactly).front();
        list->scrollToItem(item);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
    }

    PtySentenceLink link;
    SentenceSender sender;
    int notices = 0;
    std::unique_ptr<NmeaMonitorWnd> monitor;
    std::unique_ptr<ReceiverCfgWnd> config;
};

TEST_F(ConsolePtyTest, TheReceiverReadsExactlyWhatSendWrites)
{
    ASSERT_TRUE(link.Ready());
    struct Case {
        QString typed;
        bool checksum;
        std::string wire;
        QString logged;
    };
    const QString longest = QStringLiteral("$PXTEST,") + QString(247, QLatin1Char('9'));
    const Case cases[] = {
        {"$PXTNCFG", true, "$PXTNCFG*50\r\n", "$PXTNCFG*50\n"},
        {"$PXTNCFG*50", false, "$PXTNCFG*50\r\n", "$PXTNCFG*50\n"},
        {"$GPQ,GGA", true, "$GPQ,GGA*2B\r\n", "$GPQ,GGA*2B\n"},
        {"junk$PXTNCFG", true, "junk$PXTNCFG*50\r\n", "junk$PXTNCFG*50\n"},
        {"", false, "\r\n", "\n"},
        {"", true, "*00\r\n", "*00\n"},
        // The low byte of each character: U+00E9 is 0xE9, U+20AC is 0xAC.
        {"$caf\u00e9\u20ac", false, "$caf\xe9\xac\r\n", "$caf\u00e9\u00ac\n"},
        {longest, true, longest.toStdString() + "*0B\r\n", longest + QStringLiteral("*0B\n")},
    };
    for (const Case& c : cases) {
        monitor->EditTx()->Clear();
        notices = 0;
        SendTyped(c.typed, c.checksum);
        EXPECT_EQ(link.ReadReceiverSide(c.wire.size() + 1, 150), c.wire) << c.typed.toStdString();
        EXPECT_EQ(notices, 2) << c.typed.toStdString();
        EXPECT_EQ(monitor->EditTx()->toPlainText(), c.logged) << c.typed.toStdString();
    }
}

TEST_F(ConsolePtyTest, TheConfigurationCommandsArriveWithTheirChecksums)
{
    ASSERT_TRUE(link.Ready());
    Choose(config->ListCOM1TXProtocol(), "NMEA");
    Choose(config->ListCOM2TXProtocol(), "MAVLink");
    QTest::mouseClick(config->ButtonSendPXTNCFG(), Qt::LeftButton);
    for (const char* item : {"GGA", "GSA", "GSV", "VTG"})
        Choose(config->ListNOM(), item);
    Choose(config->ListPersist(), "Persist");
    QTest::mouseClick(config->ButtonSendPXTNNOM(), Qt::LeftButton);

    const std::string wire = "$PXTNCFG,N,M,,,,,,*53\r\n$PXTNNOM,0000002E,1*18\r\n";
    EXPECT_EQ(link.ReadReceiverSide(wire.size() + 1, 300), wire);
    EXPECT_EQ(monitor->EditTx()->toPlainText(),
              QStringLiteral("$PXTNCFG,N,M,,,,,,*53\n$PXTNNOM,0000002E,1*18\n"));
    EXPECT_EQ(notices, 4);
}

TEST_F(ConsolePtyTest, NothingIsWrittenOrLoggedWithoutPortOrDuringPlayback)
{
    ASSERT_TRUE(link.Ready());
    struct Case {
        bool open;
        bool playback;
    };
    for (const Case c : {Case{false, false}, Case{true, true}, Case{false, true}}) {
        link.SetOpen(c.open);
        link.SetPlayback(c.playback);
        SendTyped(QStringLiteral("$PXTNCFG"), true);
        Choose(config->ListCOM1TXProtocol(), "NMEA");
        QTest::mouseClick(config->ButtonSendPXTNCFG(), Qt::LeftButton);
        QTest::mouseClick(config->ButtonSendPXTNNOM(), Qt::LeftButton);
        EXPECT_EQ(link.ReadReceiverSide(1, 200), "") << c.open << c.playback;
        EXPECT_TRUE(monitor->EditTx()->toPlainText().isEmpty()) << c.open << c.playback;
        EXPECT_EQ(notices, 0);
    }
    // Back on line, the next send goes out.
    link.SetOpen(true);
    link.SetPlayback(false);
    SendTyped(QStringLiteral("$PXTNCFG"), true);
    EXPECT_EQ(link.ReadReceiverSide(14, 300), "$PXTNCFG*50\r\n");
}

}  // namespace
