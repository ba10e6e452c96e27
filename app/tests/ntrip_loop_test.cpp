// The window closes the loop: corrections from a caster go through the
// link into our receiver on a pseudo-terminal, and the Accuracy page sees
// its fixes turn float, then fixed, and fall back when the caster stops.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <cstdlib>

#include "analysis/accuracy_page_wnd.h"
#include "app/main_window.h"
#include "app/ntrip_feature.h"
#include "app/tests/gui_test_support.h"
#include "rtcm/tests/rtcm_samples.h"
#include "tests/test_caster.h"

namespace {

TEST(NtripLoop, TheAccuracyPageSeesFloatThenFixedAndTheFallBack)
{
    const char* sim = std::getenv("STELMAP_SIM");
    ASSERT_NE(sim, nullptr);
    QProcess receiver;
    receiver.start(QString::fromLocal8Bit(sim), {"--rate", "2"});
    ASSERT_TRUE(receiver.waitForStarted(5000));
    ASSERT_TRUE(receiver.waitForReadyRead(5000));
    const QString port = QString::fromLocal8Bit(receiver.readLine()).trimmed();

    TestCaster caster;
    caster.mountpoints["RTK"] = {QByteArray::fromStdString(StationFrame(321, 4075580.1234, 931853.5678, 4801568.9012)),
                                 QByteArray::fromStdString(MsmFrame(1074, 321, 10)), 500, true};
    StartupOptions options;
    options.connect = ConnectOption{"/nonexistent/port", 9600};
    MainWindow frame(options);
    ASSERT_TRUE(frame.ConnectTo(port.toStdString(), 9600));
    AccuracyPageWnd* page = frame.findChild<AccuracyPageWnd*>();
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(WaitFor([&] { return page->Tracker().Figures(1).count >= 2; }, 10000));

    NtripDialogValues values;
    values.casterText = QString("ntrip://127.0.0.1:%1/RTK").arg(caster.Port());
    values.gga = NtripDialogValues::Gga::Receiver;
    QElapsedTimer clock;
    clock.start();
    frame.Ntrip()->Start(values);
    qint64 floatAt = -1;
    ASSERT_TRUE(WaitFor([&] {
        if (floatAt < 0 && page->Tracker().Figures(5).count > 0)
            floatAt = clock.elapsed();
        return page->Tracker().Figures(4).count > 0;
    }, 15000)) << "float after " << floatAt << " ms";
    const qint64 fixedAt = clock.elapsed();
    EXPECT_GE(floatAt, 0);
    EXPECT_LT(floatAt, fixedAt);
    // The receiver's own GGA went up as it came; its age of differential
    // shows beside the age of the corrections.
    ASSERT_FALSE(caster.ggas.isEmpty());
    EXPECT_TRUE(caster.ggas.first().startsWith("$GPGGA,")) << caster.ggas.first().constData();
    EXPECT_TRUE(frame.Ntrip()->Figures().ggaAge.has_value());
    EXPECT_TRUE(page->Tracker().TimeToFirstRtkFixed().has_value());
    // The card's times from the first correction, and the changes marked
    // on the time plot: single to float, float to fixed.
    ASSERT_TRUE(page->Tracker().CorrectionsToFloat() && page->Tracker().CorrectionsToFixed());
    EXPECT_LT(*page->Tracker().CorrectionsToFloat(), 3.0);
    EXPECT_NEAR(*page->Tracker().CorrectionsToFixed(), 10.0, 2.0);
    const std::vector<ErrorTimeline::QualityChange>& changes = page->Tracker().Timeline().changes;
    ASSERT_GE(changes.size(), 2u);
    EXPECT_EQ(changes[0].quality, 5);
    EXPECT_EQ(changes[1].quality, 4);
    std::printf("[ figures  ] window: float after %lld ms, fixed after %lld ms, %llu frames written\n",
                static_cast<long long>(floatAt), static_cast<long long>(fixedAt),
                static_cast<unsigned long long>(frame.Ntrip()->FramesWritten()));

    caster.Shut();
    const int64_t before = page->Tracker().Figures(1).count;
    EXPECT_TRUE(WaitFor([&] { return page->Tracker().Figures(1).count > before; }, 10000));
    frame.Ntrip()->StopClient();
    receiver.kill();
    receiver.waitForFinished(5000);
}

}  // namespace
