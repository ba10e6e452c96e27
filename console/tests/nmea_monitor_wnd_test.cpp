#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QTest>
#include <QTimer>

#include "kit/command_actions.h"
#include "kit/fonts.h"
#include "kit/page_menus.h"
#include "console/history_combo.h"
#include "console/log_edit_ctrl.h"
#include "console/nmea_monitor_wnd.h"
#include "console/sentence_sender.h"
#include "console/tests/recording_link.h"
#include "console/tests/widget_test_support.h"

namespace {

using Writes = std::vector<std::string>;

class MonitorTest : public ::testing::Test {
protected:
    MonitorTest()
    {
        QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Helmarc"),
                  QStringLiteral("Helmarc Stelmap"))
            .clear();
        page = std::make_unique<NmeaMonitorWnd>();
        page->SetCommandActions(&commands);
        sender.SetLink(&link);
        sender.SetActivityNotice([this] { ++notices; });
        sender.SetTransmitLog([this](std::string_view bytes) { page->AppendTransmitted(bytes); });
        page->SetSentenceSender(&sender);
        page->resize(800, 600);
        page->show();
        QApplication::processEvents();
    }

    void Type(const QString& text)
    {
        page->ComboSend()->setEditText(QString());
        QTest::keyClicks(page->ComboSend()->lineEdit(), text);
    }
    void ClickSend() { QTest::mouseClick(page->ButtonSend(), Qt::LeftButton); }
    void TickChecksum() { QTest::mouseClick(page->ChecksumTick(), Qt::LeftButton, {}, QPoint(6, 8)); }

    RecordingLink link;
    SentenceSender sender;
    int notices = 0;
    CommandActions commands;
    std::unique_ptr<NmeaMonitorWnd> page;
};

TEST_F(MonitorTest, ControlsAndFonts)
{
    EXPECT_EQ(page->ButtonSend()->text(), QStringLiteral("Send"));
    EXPECT_EQ(page->ChecksumTick()->text(), QStringLiteral("Automatic Checksum"));
    EXPECT_FALSE(page->ChecksumTick()->isChecked());
    EXPECT_EQ(page->AutoChecksum(), 0);
    EXPECT_EQ(page->EditTx()->m_popupMenuId, kMenuNmeaMonitorTx);
    EXPECT_EQ(page->EditRx()->m_popupMenuId, kMenuNmeaMonitorRx);
    // Everything but the check box in Tahoma 8, the logs too.
    for (QWidget* w : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const bool tahoma = QFontInfo(w->font()).family() == QStringLiteral("Tahoma") && w->font().pointSize() == 8;
        EXPECT_EQ(tahoma, w != page->ChecksumTick()) << w->objectName().toStdString();
    }
}

TEST_F(MonitorTest, LayoutFollowsTheSize)
{
    const QFontMetrics metrics(page->font());
    const int row = 2 * metrics.height();
    const int send = metrics.horizontalAdvance(QStringLiteral("Send"));
    const int tick = metrics.horizontalAdvance(QStringLiteral("Automatic Checksum"));
    const int caption = QFontMetrics(ArialFont(14)).height();
    for (const QSize size : {QSize(800, 600), QSize(641, 480), QSize(1024, 300), QSize(320, 200)}) {
        page->resize(size);
        QApplication::processEvents();
        const int w = size.width();
        const int d = static_cast<int>(w - 2 * send - 6 - 1.2 * tick);
        EXPECT_EQ(page->SendRowRect(), QRect(0, 0, w, row));
        EXPECT_EQ(page->ButtonSend()->geometry(), QRect(w - 2 * send - 3, 2, 2 * send, row - 9));
        EXPECT_EQ(page->ChecksumTick()->geometry(), QRect(d, 2, w - 2 * send - d - 6, row - 9));
        EXPECT_EQ(page->ComboSend()->geometry(), QRect(3, 3, std::max(0, d - 6), row - 3));
        EXPECT_EQ(page->HeaderRect(), QRect(0, row, w, caption + 4));
        const int logTop = row + caption + 4;
        EXPECT_EQ(page->EditTx()->geometry(), QRect(0, logTop, w / 2, size.height() - logTop));
        EXPECT_EQ(page->EditRx()->geometry(), QRect(w / 2 + 1, logTop, w - w / 2 - 1, size.height() - logTop));
    }
}

TEST_F(MonitorTest, PaintsTheRowCaptionBarAndDivider)
{
    page->resize(641, 300);
    QApplication::processEvents();
    const QImage image = page->grab().toImage();
    SavePageImage(image, "nmea_monitor.png");
    const QPalette colours = page->palette();
    const QRect header = page->HeaderRect();
    const int mid = 320;

    // The divider: black from the caption bar down, logs white on both sides.
    for (const int y : {header.top(), header.bottom(), 200, 299})
        EXPECT_EQ(image.pixel(mid, y), qRgb(0, 0, 0)) << y;
    // Left of it the transmit log's scroll bar, right of it the receive log's text area.
    EXPECT_NE(image.pixel(mid - 1, 200), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(mid + 1, 200), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(mid - 30, 200), qRgb(255, 255, 255));
    // Caption bar in the shadow colour, with both captions in the highlight text colour.
    EXPECT_EQ(image.pixel(1, header.top()), colours.color(QPalette::Dark).rgb());
    EXPECT_EQ(image.pixel(639, header.bottom()), colours.color(QPalette::Dark).rgb());
    const QRect transmit(160 - 40, header.top(), 80, header.height());
    const QRect receive(481 - 40, header.top(), 80, header.height());
    EXPECT_GT(CountPixels(image.copy(transmit), colours.color(QPalette::HighlightedText), 0), 20);
    EXPECT_GT(CountPixels(image.copy(receive), colours.color(QPalette::HighlightedText), 0), 20);
    EXPECT_EQ(CountPixels(image.copy(QRect(mid - 20, header.top(), 40, header.height())),
                          colours.color(QPalette::HighlightedText), 0),
              0);
    // The send row's face, left of the box.
    EXPECT_EQ(image.pixel(1, 1), colours.color(QPalette::Button).rgb());

    // With traffic: dark red on the left, dark green on the right.
    page->ComboSend()->setEditText(QStringLiteral("$PXTNCFG"));
    page->AppendTransmitted("$PXTNCFG*50\r\n$PXTNNOM,0000002E,1*18\r\n");
    page->EditRx()->AppendText(NmeaMonitorWnd::kReceiveColour,
                               QStringLiteral("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n"
                                              "$PXTNCFG,N,M,,,,,,*53\r\n\tTabbed\tcolumns\r\n"));
    QApplication::processEvents();
    const QImage traffic = page->grab().toImage();
    SavePageImage(traffic, "nmea_monitor_traffic.png");
    EXPECT_GT(CountPixels(traffic.copy(0, header.bottom(), mid, 100), NmeaMonitorWnd::kTransmitColour, 40), 20);
    EXPECT_GT(CountPixels(traffic.copy(mid, header.bottom(), mid, 100), NmeaMonitorWnd::kReceiveColour, 40), 20);
    EXPECT_EQ(CountPixels(traffic.copy(mid, header.bottom(), mid, 100), NmeaMonitorWnd::kTransmitColour, 40), 0);
}

TEST_F(MonitorTest, SendWithChecksumWritesTheLineAndLogsItInDarkRed)
{
    Type(QStringLiteral("$PXTNCFG"));
    TickChecksum();
    ASSERT_EQ(page->AutoChecksum(), 1);
    ClickSend();
    EXPECT_EQ(link.writes, (Writes{"$PXTNCFG*50", "\r\n"}));
    EXPECT_EQ(notices, 2);
    EXPECT_EQ(page->EditTx()->toPlainText(), QStringLiteral("$PXTNCFG*50\n"));
    EXPECT_TRUE(page->EditRx()->toPlainText().isEmpty());
    const QImage log = page->EditTx()->viewport()->grab().toImage();
    EXPECT_GT(CountPixels(log, NmeaMonitorWnd::kTransmitColour, 40), 10);
    EXPECT_EQ(page->ComboSend()->itemText(0), QStringLiteral("$PXTNCFG"));

    TickChecksum();
    EXPECT_EQ(page->AutoChecksum(), 0);
}

TEST_F(MonitorTest, EnterInTheBoxSendsOnceAsTheButtonDoes)
{
    // Keys reach the box itself, which hands them to its line edit.
    page->ComboSend()->setFocus();
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        link.writes.clear();
        Type(QStringLiteral("$PXTNCFG*50"));
        QTest::keyClick(page->ComboSend(), key);
        EXPECT_EQ(link.writes, (Writes{"$PXTNCFG*50", "\r\n"})) << key;
    }
    // What completion filled in is sent, as the box shows it.
    link.writes.clear();
    Type(QStringLiteral("$PXT"));
    QTest::keyClick(page->ComboSend(), Qt::Key_Return);
    EXPECT_EQ(link.writes, (Writes{"$PXTNCFG*50", "\r\n"}));
}

TEST_F(MonitorTest, AnEntryChosenFromTheListIsSentAndMovesToTheTop)
{
    for (const char* text : {"$A", "$B", "$C"}) {
        Type(QString::fromLatin1(text));
        ClickSend();
    }
    ASSERT_EQ(page->ComboSend()->Entries(), (std::vector<std::string>{"$C", "$B", "$A"}));
    link.writes.clear();
    page->ComboSend()->setCurrentIndex(2);
    ClickSend();
    EXPECT_EQ(link.writes, (Writes{"$A", "\r\n"}));
    EXPECT_EQ(page->ComboSend()->Entries(), (std::vector<std::string>{"$A", "$C", "$B"}));
}

TEST_F(MonitorTest, AnOverlongTextIsRefusedWithAMessageAndKeptInTheHistory)
{
    const QString fits = QStringLiteral("$") + QString(254, QLatin1Char('A'));
    page->ComboSend()->setEditText(fits);
    ClickSend();
    ASSERT_EQ(link.writes.size(), 2u);
    EXPECT_EQ(link.writes[0], fits.toStdString());

    link.writes.clear();
    const QString tooLong = fits + QStringLiteral("B");
    QString message;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            message = box->text();
            EXPECT_EQ(box->icon(), QMessageBox::Critical);
            box->accept();
        }
    });
    page->ComboSend()->setEditText(tooLong);
    ClickSend();
    EXPECT_TRUE(link.writes.empty());
    EXPECT_EQ(notices, 2);
    EXPECT_TRUE(message.contains(QStringLiteral("256"))) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("not sent"))) << message.toStdString();
    EXPECT_EQ(page->ComboSend()->itemText(0), tooLong);
    EXPECT_EQ(page->ComboSend()->currentText(), tooLong);
}

TEST_F(MonitorTest, ClearCommandsEmptyOneLogEach)
{
    struct Case {
        int command;
        bool txEmpty;
        bool rxEmpty;
    };
    const Case cases[] = {{kCmdClearTransmitScreen, true, false}, {kCmdClearReceiveScreen, false, true}};
    for (const Case& c : cases) {
        page->AppendTransmitted("$PXTNCFG*50\r\n");
        page->EditRx()->AppendText(NmeaMonitorWnd::kReceiveColour, QStringLiteral("$GPGGA,1\r\n"));
        ASSERT_TRUE(commands.Trigger(c.command));
        EXPECT_EQ(page->EditTx()->toPlainText().isEmpty(), c.txEmpty) << c.command;
        EXPECT_EQ(page->EditRx()->toPlainText().isEmpty(), c.rxEmpty) << c.command;
        EXPECT_TRUE(page->EditTx()->isReadOnly());
        EXPECT_TRUE(page->EditRx()->isReadOnly());
        page->EditTx()->Clear();
        page->EditRx()->Clear();
    }
}

TEST_F(MonitorTest, PageContextMenuByHalf)
{
    struct Case {
        QPoint pos;
        QContextMenuEvent::Reason reason;
        int command;
    };
    // Narrow enough for every menu to open where asked on the test screen.
    page->resize(600, 400);
    QApplication::processEvents();
    const QRect header = page->HeaderRect();
    const Case cases[] = {
        {QPoint(100, header.center().y()), QContextMenuEvent::Mouse, kCmdClearTransmitScreen},
        {QPoint(299, header.center().y()), QContextMenuEvent::Mouse, kCmdClearTransmitScreen},
        {QPoint(300, header.center().y()), QContextMenuEvent::Mouse, kCmdClearReceiveScreen},
        {QPoint(450, 1), QContextMenuEvent::Mouse, kCmdClearReceiveScreen},
        {QPoint(450, 100), QContextMenuEvent::Keyboard, kCmdClearTransmitScreen},
    };
    for (const Case& c : cases) {
        QMenu* menu = OpenContextMenu(page.get(), c.pos, c.reason);
        ASSERT_NE(menu, nullptr) << c.pos.x();
        ASSERT_EQ(menu->actions().size(), 1);
        EXPECT_EQ(menu->actions()[0]->data().toInt(), c.command) << c.pos.x();
        const QPoint expected = c.reason == QContextMenuEvent::Keyboard ? QPoint(5, 5) : c.pos;
        EXPECT_EQ(menu->pos(), page->mapToGlobal(expected));
        CloseMenu(menu);
    }
    // The check box has no menu of its own: its clicks reach the page's.
    QMenu* menu = OpenContextMenu(page->ChecksumTick(), QPoint(3, 3), QContextMenuEvent::Mouse);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->actions()[0]->data().toInt(), kCmdClearReceiveScreen);
    CloseMenu(menu);
}

TEST_F(MonitorTest, ShowingThePageScrollsTheLogsToTheLatestLine)
{
    QString lines;
    for (int i = 0; i < 300; ++i)
        lines += QStringLiteral("$GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00,%1*74\n").arg(i);
    page->EditRx()->AppendText(NmeaMonitorWnd::kReceiveColour, lines);
    page->AppendTransmitted(lines.toStdString());
    for (LogEditCtrl* log : {page->EditTx(), page->EditRx()}) {
        log->verticalScrollBar()->setValue(0);
        log->horizontalScrollBar()->setValue(log->horizontalScrollBar()->maximum());
        ASSERT_GT(log->horizontalScrollBar()->value(), 0);
    }
    page->hide();
    page->show();
    QApplication::processEvents();
    for (LogEditCtrl* log : {page->EditTx(), page->EditRx()}) {
        EXPECT_EQ(log->verticalScrollBar()->value(), log->verticalScrollBar()->maximum());
        EXPECT_GT(log->verticalScrollBar()->value(), 0);
        EXPECT_EQ(log->horizontalScrollBar()->value(), 0);
    }
}

}  // namespace
