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
#include "app/status_pane.h"
#include "app/tests/gui_test_support.h"
#include "link/link_objects.h"
#include "link/serial_port.h"

namespace {

class StatusBarTest : public ::testing::Test {
protected:
    void SetUp() override { m_frame = std::make_unique<CMainFrame>(NoReceiver()); }
    void TearDown() override
    {
        m_frame.reset();
        g_sio.Close();
    }
    QStatusBar* Bar() const { return m_frame->statusBar(); }

    std::unique_ptr<CMainFrame> m_frame;
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
    for (int index = CMainFrame::kPaneQuality; index < CMainFrame::kPaneCount; ++index) {
        QLabel* label = m_frame->PaneLabel(index);
        QWidget* pane = label->parentWidget() == Bar() ? label : label->parentWidget();  // a lamp's box
        const QRect r(pane->mapTo(Bar(), QPoint(0, 0)), pane->size());
        EXPECT_GE(r.left(), lastRight) << "pane " << index << " runs into the one before";
        EXPECT_LE(r.right(), Bar()->width()) << index;
        lastRight = r.right();
        // Every text either fits or is cut with "…" and whole in the tooltip.
        const bool fits = label->fontMetrics().horizontalAdvance(label->text()) <= label->contentsRect().width();
        if (auto* squeezable = qobject_cast<CStatusPane*>(label); squeezable && !fits) {
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

}  // namespace
