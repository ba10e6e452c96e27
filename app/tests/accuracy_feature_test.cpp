#include <gtest/gtest.h>

#include <QLineEdit>
#include <QSettings>
#include <QWidget>

#include "analysis/accuracy_page_wnd.h"
#include "app/accuracy_feature.h"
#include "app/alert_limit_dlg.h"
#include "app/app_settings.h"
#include "app/tests/gui_test_support.h"
#include "kit/command_actions.h"

namespace {

struct Told {
    Severity severity;
    QString text;
};

class AccuracyFeatureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        OpenAppSettings()->clear();
        m_feature = std::make_unique<AccuracyFeature>(m_commands, &m_window, [this](Severity s, const QString& t, const QString&) {
            m_told.push_back({s, t});
        });
    }
    void TearDown() override { delete m_feature->Page(); }

    // Types `text` into the Set Alert Limit dialog and presses OK; a
    // refusal leaves the dialog open, which is then cancelled. The warning's
    // text, empty when there was none.
    QString SetAlertLimit(const QString& text)
    {
        QString warning;
        bool typed = false;
        ModalDriver driver([&](QWidget* modal) {
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                warning = box->text();
                box->accept();
                return;
            }
            auto* dialog = qobject_cast<AlertLimitDlg*>(modal);
            ASSERT_NE(dialog, nullptr);
            if (typed) {
                dialog->reject();  // still open after the refusal
                return;
            }
            typed = true;
            dialog->findChild<QLineEdit*>("alertLimitEdit")->setText(text);
            // Queued: a refusal opens its warning in a loop of its own, which
            // this driver must be free to answer.
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        });
        EXPECT_TRUE(m_commands.Trigger(kCmdSetAlertLimit));
        return warning;
    }

    CommandActions m_commands;
    QWidget m_window;
    std::vector<Told> m_told;
    std::unique_ptr<AccuracyFeature> m_feature;
};

TEST_F(AccuracyFeatureTest, AlertLimitRefusesBadInputAndSavesGood)
{
    EXPECT_EQ(m_feature->Page()->Tracker().AlertLimit(), 40.0);
    // Refused in the dialog, which stays open with the reason.
    for (const char* bad : {"0", "-3", "ten", "", "1e6", "1e-300", "0.0099"}) {
        m_told.clear();
        const QString warning = SetAlertLimit(QString::fromLatin1(bad));
        EXPECT_EQ(warning, QStringLiteral("'%1' is not an alert limit: type a number of metres from 0.01 to 100000, such as 40.")
                               .arg(QString::fromLatin1(bad)));
        EXPECT_TRUE(m_told.empty()) << bad;
        EXPECT_EQ(ReadAlertLimit(), 40.0);
        EXPECT_EQ(m_feature->Page()->Tracker().AlertLimit(), 40.0);
    }
    m_told.clear();
    EXPECT_EQ(SetAlertLimit(QStringLiteral("0.01")), QString());
    EXPECT_EQ(m_feature->Page()->Tracker().AlertLimit(), 0.01);
    EXPECT_EQ(SetAlertLimit(QStringLiteral(" 25.5 ")), QString());
    EXPECT_TRUE(m_told.empty());
    EXPECT_EQ(ReadAlertLimit(), 25.5);
    EXPECT_EQ(m_feature->Page()->Tracker().AlertLimit(), 25.5);
    // Saved like the other settings: a new start reads it.
    delete m_feature->Page();
    m_feature = std::make_unique<AccuracyFeature>(m_commands, &m_window, [](Severity, const QString&, const QString&) {});
    EXPECT_EQ(m_feature->Page()->Tracker().AlertLimit(), 25.5);
}

TEST_F(AccuracyFeatureTest, FixesUserPositionResetAndSession)
{
    DisplaySnapshot fix;
    fix.latitude = 47.0707;
    fix.longitude = 15.4395;
    fix.altitude = 353.0;
    fix.hplCm = 1200;
    fix.countedQuality = 4;
    m_feature->SetUserPosition(UserPosition{47.0707, 15.4395, 353.0});
    m_feature->ShowFix(fix);
    fix.countedQuality = 0;  // no fix: kept as a GGA, not counted
    m_feature->ShowFix(fix);
    const AccuracyTracker& tracker = m_feature->Page()->Tracker();
    EXPECT_EQ(tracker.GgaCount(), 2);
    EXPECT_EQ(tracker.Fixes(), 1);
    EXPECT_TRUE(tracker.TimeToFirstRtkFixed());
    EXPECT_EQ(tracker.Integrity()->epochs, 1);
    // The user position stored when none was set is no truth.
    m_feature->SetUserPosition(UserPosition{});
    EXPECT_FALSE(tracker.Integrity());

    ASSERT_TRUE(m_commands.Trigger(kCmdResetAccuracy));
    EXPECT_EQ(tracker.GgaCount(), 0);
    EXPECT_TRUE(tracker.TimeToFirstRtkFixed()) << "a reset keeps the connection's times";
    m_feature->StartSession();
    EXPECT_FALSE(tracker.TimeToFirstFix());
}

}  // namespace
