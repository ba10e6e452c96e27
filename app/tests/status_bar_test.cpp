#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolTip>
#include <memory>

#include "app/main_window.h"
#include "kit/command_ids.h"
#include "app/source_control.h"
#include "app/status_bar_messages.h"
#include "app/status_pane.h"
#include "app/tests/test_output.h"
#include "kit/command_actions.h"
#include "kit/page_look.h"
#include "kit/page_painting.h"
#include "app/tests/gui_test_support.h"
#include "link/link_objects.h"
#include "link/serial_port.h"

namespace {

class StatusBarTest : public ::testing::Test {
protected:
    void SetUp() override { m_frame = std::make_unique<MainWindow>(NoReceiver()); }
    void TearDown() override
    {
        m_frame.reset();
        g_sio.Close();
    }
    QStatusBar* Bar() const { return m_frame->statusBar(); }

    std::unique_ptr<MainWindow> m_frame;
};

TEST_F(StatusBarTest, PanesGiveWayInANarrowWindowWithoutOverlapping)
{
    m_frame->resize(600, 400);
    m_frame->show();
    // The longest texts the panes show.
    {
        std::lock_guard lock(g_dataLock);
        std::strcpy(g_displaySnapshot.fixQualityText.data(), "Estimated (dead reckoning)");
    }
    m_frame->UpdateCommandUI();
    ASSERT_TRUE(WaitFor([&] { return m_frame->width() == 600; }));
    QApplication::processEvents();

    int lastRight = -1;
    for (int index = MainWindow::kPaneQuality; index < MainWindow::kPaneCount; ++index) {
        QLabel* label = m_frame->PaneLabel(index);
        QWidget* pane = label->parentWidget() == Bar() ? label : label->parentWidget();  // a lamp's box
        const QRect r(pane->mapTo(Bar(), QPoint(0, 0)), pane->size());
        EXPECT_GE(r.left(), lastRight) << "pane " << index << " runs into the one before";
        EXPECT_LE(r.right(), Bar()->width()) << index;
        lastRight = r.right();
        // Every text either fits or is cut with "…" and whole in the tooltip.
        const bool fits = label->fontMetrics().horizontalAdvance(label->text()) <= label->contentsRect().width();
        if (auto* squeezable = qobject_cast<StatusPane*>(label); squeezable && !fits) {
            label->repaint();
            EXPECT_TRUE(squeezable->IsElided()) << index;
            EXPECT_EQ(label->toolTip(), label->text()) << index;
        } else {
            EXPECT_TRUE(fits) << "pane " << index << " cuts \"" << label->text().toStdString() << '"';
        }
    }
    {
        std::lock_guard lock(g_dataLock);
        g_displaySnapshot.fixQualityText[0] = '\0';
    }
}

TEST_F(StatusBarTest, HintsGiveTheMessageBackWhenTheMenuCloses)
{
    m_frame->show();
    Bar()->showMessage(QStringLiteral("Standing message"));
    QAction* connect = m_frame->Action(kCmdConnect);
    ASSERT_FALSE(connect->statusTip().isEmpty());
    QMenu* tools = nullptr;
    for (QAction* a : m_frame->menuBar()->actions())
        if (a->text() == "&Tools")
            tools = a->menu();
    ASSERT_NE(tools, nullptr);
    for (QAction* a : m_frame->menuBar()->actions())
        if (a->menu() == tools)
            m_frame->menuBar()->setActiveAction(a);  // opens it as a click on the bar does
    ASSERT_TRUE(WaitFor([&] { return tools->isVisible(); }));
    tools->setActiveAction(connect);  // as the pointer moving onto it does
    ASSERT_TRUE(WaitFor([&] { return Bar()->currentMessage() == connect->statusTip(); }));
    tools->hide();
    EXPECT_TRUE(WaitFor([&] { return Bar()->currentMessage() == "Standing message"; }))
        << Bar()->currentMessage().toStdString();

    // A toolbar button's hint goes when the pointer leaves it.
    connect->showStatusText(m_frame.get());
    EXPECT_EQ(Bar()->currentMessage(), connect->statusTip());
    QStatusTipEvent leave{QString()};
    QApplication::sendEvent(m_frame.get(), &leave);
    EXPECT_EQ(Bar()->currentMessage(), "Standing message");
}

TEST_F(StatusBarTest, TheWholeMessageIsTheMessageAreasTooltip)
{
    m_frame->resize(600, 400);
    m_frame->show();
    ASSERT_TRUE(WaitFor([&] { return m_frame->width() == 600; }));
    const QString message =
        QStringLiteral("The receiver on /dev/pts/1 went away; the link is closed. Use Connect to GPS to connect again.");
    Bar()->showMessage(message);
    QHelpEvent over(QEvent::ToolTip, QPoint(4, Bar()->height() / 2), Bar()->mapToGlobal(QPoint(4, Bar()->height() / 2)));
    QApplication::sendEvent(Bar(), &over);
    EXPECT_TRUE(WaitFor([&] { return QToolTip::text() == message; })) << QToolTip::text().toStdString();
    const QWidget* room = m_frame->findChild<QWidget*>("messageRoom");
    ASSERT_NE(room, nullptr);
    EXPECT_GE(room->width(), 120) << "room for the message";
    QToolTip::hideText();
}

// At the default width every status pane and a 60-character message show
// whole: the message takes the free room and the source and health panes
// give way first. A longer message ends in "…" with the whole as tooltip.
TEST_F(StatusBarTest, TheMessageTakesTheFreeRoomAndIsCutWithAnEllipsis)
{
    m_frame->resize(1100, 700);
    m_frame->show();
    ASSERT_TRUE(WaitFor([&] { return m_frame->width() == 1100; }));
    m_frame->Sources()->SourcePane()->setText(QStringLiteral("tcp://receiver.example.net:2000: connected, 4 reads"));
    m_frame->Sources()->HealthPane()->setText(QStringLiteral("2.1 kB/s (22 %), 0 bad, 0 lost, last 0.1 s ago"));
    const QString sixty = QStringLiteral("Could not connect to tcp://127.0.0.1:70000: port is not valid");
    ASSERT_GE(sixty.size(), 60);
    Bar()->showMessage(sixty);
    QApplication::processEvents();
    QApplication::processEvents();
    auto* messages = m_frame->findChild<StatusBarMessages*>();
    ASSERT_NE(messages, nullptr);
    EXPECT_EQ(messages->ShownMessage(), sixty);
    for (int index = MainWindow::kPaneQuality; index < MainWindow::kPaneCount; ++index) {
        QLabel* label = m_frame->PaneLabel(index);
        if (auto* pane = qobject_cast<StatusPane*>(label)) {
            label->repaint();
            EXPECT_FALSE(pane->IsElided()) << index << " " << label->text().toStdString();
        }
    }
    // Nothing of the message is drawn past its area: the pixels between its
    // shown text and the first pane are the bar's own.
    const QWidget* room = m_frame->findChild<QWidget*>("messageRoom");
    ASSERT_NE(room, nullptr);
    const QImage bar = Bar()->grab().toImage();
    const int textEnd = room->x() + 2 + room->fontMetrics().horizontalAdvance(sixty) + 2;
    for (int x = textEnd + 1; x < room->geometry().right(); ++x)
        for (int y = 3; y < bar.height() - 3; ++y)
            ASSERT_EQ(bar.pixelColor(x, y).rgb(), bar.pixelColor(textEnd + 1, y).rgb()) << x << "," << y;
    SaveTestPicture(*m_frame, QStringLiteral("status_bar_1100"));

    const QString longer = sixty + QStringLiteral(". Still connected to /dev/ttyUSB0, which is what stays in use.");
    Bar()->showMessage(longer);
    QApplication::processEvents();
    const QString shown = messages->ShownMessage();
    EXPECT_TRUE(shown.endsWith(QChar(0x2026))) << shown.toStdString();
    EXPECT_LT(shown.size(), longer.size());
    EXPECT_EQ(room->toolTip(), longer);
}

}  // namespace

namespace {

// Link Health is read beside the pages: in the dark look it is dark too.
TEST_F(StatusBarTest, LinkHealthFollowsTheDarkLook)
{
    const int before = m_frame->AppLook();
    m_frame->OnApplicationLook(kLookOffice2007Black);
    m_frame->show();
    ASSERT_TRUE(m_frame->Commands().Trigger(kCmdLinkHealth));
    auto* text = m_frame->findChild<QWidget*>("linkHealthText");
    ASSERT_NE(text, nullptr);
    ASSERT_TRUE(WaitFor([&] { return text->isVisible(); }));
    QColor background, foreground;
    GetPageColors(background, foreground);
    ASSERT_LT(background.lightness(), 128) << "a dark page";
    const QImage shown = text->grab().toImage();
    EXPECT_EQ(shown.pixelColor(shown.width() / 2, shown.height() - 8).rgb(), background.rgb());
    SaveTestPicture(*text->window(), QStringLiteral("link_health_black"));
    text->window()->close();
    m_frame->OnApplicationLook(before);
}

}  // namespace
