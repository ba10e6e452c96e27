#include <gtest/gtest.h>

#include <QApplication>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QUrl>
#include <climits>
#include <functional>

#include "app/update_alert_wnd.h"
#include "app/tests/gui_test_support.h"
#include "app/tests/test_output.h"

namespace {

int OpenAlerts()
{
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (qobject_cast<UpdateAlertWnd*>(widget) != nullptr && widget->isVisible())
            ++count;
    return count;
}

class UpdateAlert : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (qobject_cast<UpdateAlertWnd*>(widget) != nullptr)
                widget->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    }
};

TEST_F(UpdateAlert, OnlyANewerVersionCallsForIt)
{
    struct Case {
        int version;
        bool newer;
    };
    const Case cases[] = {{11, false}, {12, true}, {0, false}, {-1, false}, {INT_MIN, false}, {INT_MAX, true}};
    for (const Case& c : cases)
        EXPECT_EQ(IsNewerVersion(c.version), c.newer) << c.version;
}

TEST_F(UpdateAlert, Version11ShowsNothingAnd12ShowsTheAlert)
{
    EXPECT_EQ(ShowUpdateAlertIfNewer(11, nullptr), nullptr);
    EXPECT_EQ(ShowUpdateAlertIfNewer(-5, nullptr), nullptr);
    EXPECT_EQ(OpenAlerts(), 0);

    QPointer<UpdateAlertWnd> alert = ShowUpdateAlertIfNewer(12, nullptr);
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(OpenAlerts(), 1);
    EXPECT_TRUE(alert->isVisible());
    EXPECT_TRUE(alert->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(alert->windowTitle(), "Update Available");
    EXPECT_EQ(alert->findChild<QLabel*>("alertCaption")->text(), "Update Available");
    EXPECT_EQ(alert->findChild<QLabel*>("alertText")->text(),
              "New version of ZezevirIdiv is available for download.");
    EXPECT_TRUE(alert->findChild<QLabel*>("alertLink")->text().contains(">Download now</a>"));
    EXPECT_EQ(alert->findChild<QLabel*>("alertIcon")->pixmap().size(), QSize(32, 32));
    EXPECT_EQ(alert->AutoCloseMs(), 15000);

    // Each announcement above 11 brings one more alert.
    QPointer<UpdateAlertWnd> second = ShowUpdateAlertIfNewer(13, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(OpenAlerts(), 2);
}

TEST_F(UpdateAlert, SlidesIntoTheBottomRightCorner)
{
    QPointer<UpdateAlertWnd> alert = ShowUpdateAlertIfNewer(12, nullptr);
    ASSERT_NE(alert, nullptr);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect resting = alert->RestingGeometry();
    EXPECT_EQ(resting.bottomRight(), area.bottomRight());
    EXPECT_GT(alert->pos().y(), resting.top()) << "starts below its resting place";

    EXPECT_TRUE(WaitFor([&] { return alert && alert->pos() == resting.topLeft(); }, 3000));
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->geometry(), resting);
    SaveTestPicture(*alert, "update_alert");
}

TEST_F(UpdateAlert, ClosesItselfAfterItsTime)
{
    QPointer<UpdateAlertWnd> alert = ShowUpdateAlertIfNewer(12, nullptr);
    ASSERT_NE(alert, nullptr);
    alert->SetAutoCloseMs(100);   // the same timer as the 15 s, shortened for the test
    EXPECT_TRUE(WaitFor([&] { return alert.isNull(); }, 3000)) << "closed and deleted";
    EXPECT_EQ(OpenAlerts(), 0);
}

TEST_F(UpdateAlert, DownloadLinkOpensThePageAndCloses)
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &catcher, "Open");
    QPointer<UpdateAlertWnd> alert = ShowUpdateAlertIfNewer(12, nullptr);
    ASSERT_NE(alert, nullptr);
    auto* link = alert->findChild<QLabel*>("alertLink");
    ASSERT_NE(link, nullptr);
    emit link->linkActivated(QStringLiteral("download"));

    ASSERT_EQ(catcher.m_urls.size(), 1);
    EXPECT_EQ(catcher.m_urls.front(), DownloadPageUrl());
    EXPECT_EQ(catcher.m_urls.front().path(), "/zezeviridiv/Download/");
    EXPECT_EQ(catcher.m_urls.front().scheme(), "http");
    EXPECT_TRUE(WaitFor([&] { return alert.isNull(); }, 3000));
}

}  // namespace

