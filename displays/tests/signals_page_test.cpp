#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QTest>

#include "displays/signals_page_layout.h"
#include "displays/signals_page_wnd.h"
#include "kit/page_look.h"
#include "kit/page_painting.h"
#include "kit/page_shapes.h"
#include "kit/tests/page_test_support.h"
#include "nmea/gnss_model.h"

namespace {

// A receiver's epoch: GPS on L1 and L5, GLONASS, Galileo with a GBS suspect.
GnssSnapshot Epoch(int azimuthShift = 0)
{
    GnssModel model;
    const auto az = [&](int a) { return std::to_string((a + azimuthShift) % 360); };
    const std::string bodies[] = {
        "GPGSV,1,1,03,05,40," + az(100) + ",44,13,60," + az(200) + ",38,29,10," + az(300) + ",,1",
        "GPGSV,1,1,02,05,40," + az(100) + ",41,13,60," + az(200) + ",20,8",
        "GLGSV,1,1,02,65,30," + az(45) + ",35,66,70," + az(135) + ",30,1",
        "GAGSV,1,1,02,12,50," + az(250) + ",47,19,20," + az(330) + ",25,7",
        "GNGSA,A,3,05,13,,,,,,,,,,,1.2,0.8,0.9,1",
        "GNGSA,A,3,12,,,,,,,,,,,,1.2,0.8,0.9,3",
        "GNRMC,123456.20,A,4552.65403,S,17030.00668,E,0.025,,091226,,,A,V",
        "GNGST,123456.20,0.8,0.5,0.3,120.0,0.4,0.3,0.9",
        "GNGBS,123456.20,0.4,0.3,0.9,12,0.01,6.5,1.2,3,7",
        "GNGNS,123456.20,4552.65403,S,17030.00668,E,AAAN,12,0.8,14.2,1.8,,,V",
    };
    for (const std::string& body : bodies) {
        const size_t comma = body.find(',');
        model.OnSentence(std::string_view(body).substr(0, comma), std::string_view(body).substr(comma + 1));
    }
    GnssSnapshot snapshot;
    model.CopyTo(snapshot);
    return snapshot;
}

TEST(SignalsPage, SummaryPerSystem)
{
    const GnssSnapshot s = Epoch();
    const auto summaries = SummariseSystems(s.satellites, SignalsFilter{});
    ASSERT_EQ(summaries.size(), 3u);
    // GPS: 3 satellites, 2 used; C/N0 44, 38, 41, 20 (29 has none).
    EXPECT_EQ(summaries[0], (SystemSummary{GnssSystem::GPS, 3, 2, (44 + 38 + 41 + 20) / 4.0, (44 + 38 + 41 + 20) / 4.0}));
    EXPECT_EQ(summaries[2], (SystemSummary{GnssSystem::Galileo, 2, 1, 36.0, 36.0}));

    SignalsFilter l1Only;
    l1Only.bands = {true, false, false, false, false, false};
    const auto l1 = SummariseSystems(s.satellites, l1Only);
    ASSERT_EQ(l1.size(), 3u);  // Galileo E5a counts as L5: gone; GLONASS G1 stays
    EXPECT_EQ(l1[0], (SystemSummary{GnssSystem::GPS, 3, 2, 41.0, 41.0}));
    EXPECT_EQ(l1[2].system, GnssSystem::Galileo);  // E1-BC is L1
}

class SignalsPageRender : public ::testing::Test {
protected:
    void SetUp() override
    {
        page.resize(1200, 800);
        page.SetSnapshotSource([this] { return snapshot; });
    }
    void TearDown() override { SetCurrentAppLook(kLookOffice2007Black); }

    GnssSnapshot snapshot = Epoch();
    CSignalsPageWnd page;
};

TEST_F(SignalsPageRender, BarsMarksAndSuspectWhereTheGeometrySays)
{
    for (int look : {kLookOffice2007Black, kLookOffice2007Silver}) {
        SetCurrentAppLook(look);
        page.ClearTrails();
        for (int minute = 0; minute <= 8; ++minute) {
            snapshot = Epoch(minute * 2);
            page.UpdateFromSnapshotAt(minute * 60.0);
        }
        const QImage image = page.RenderPage();
        SavePage(image, look == kLookOffice2007Black ? "signals_black" : "signals_silver");
        const SignalsPageLayout layout = page.Layout(page.size());

        ASSERT_EQ(layout.bars.size(), snapshot.satellites.size());
        for (const SignalsBar& bar : layout.bars) {
            if (bar.bar.IsEmpty() || !bar.used || bar.suspect)
                continue;
            const PixelPoint middle{(bar.bar.left + bar.bar.right) / 2, (bar.bar.top + bar.bar.bottom) / 2};
            EXPECT_EQ(PixelAt(image, middle), ToQColor(SystemColor(bar.system)));
        }
        // Marks: one per satellite with a position, filled when used.
        EXPECT_EQ(layout.marks.size(), 7u);
        for (const SignalsSkyMark& mark : layout.marks) {
            if (mark.used) {
                EXPECT_EQ(PixelAt(image, mark.point), ToQColor(SystemColor(mark.system)));
            }
        }
        // The suspect, Galileo 12, is outlined in red on its bars.
        int suspects = 0;
        for (const SignalsBar& bar : layout.bars) {
            if (!bar.suspect)
                continue;
            ++suspects;
            EXPECT_EQ(PixelAt(image, bar.slot.left, (bar.slot.top + bar.slot.bottom) / 2), QColor(230, 0, 0));
        }
        EXPECT_EQ(suspects, 1);
        // Trails: eight minutes of two-degree steps for each of the 7 satellites.
        EXPECT_EQ(layout.trails.size(), 7u * 8u);
        ASSERT_FALSE(layout.info.empty());
        EXPECT_EQ(layout.info[0].text.text, "Date 2026-12-09   Time 12:34:56.20 UTC   RMC valid");
    }
}

TEST_F(SignalsPageRender, ClickingAChipHidesItsSystem)
{
    page.UpdateFromSnapshotAt(0.0);
    const SignalsPageLayout before = page.Layout(page.size());
    const SignalsChip* galileo = nullptr;
    for (const SignalsChip& chip : before.chips)
        if (chip.system && chip.index == SystemIndex(GnssSystem::Galileo))
            galileo = &chip;
    ASSERT_NE(galileo, nullptr);
    QTest::mouseClick(&page, Qt::LeftButton, {}, QPoint(galileo->box.left + 2, galileo->box.top + 2));
    EXPECT_FALSE(page.Filter().systems[static_cast<size_t>(SystemIndex(GnssSystem::Galileo))]);
    const SignalsPageLayout after = page.Layout(page.size());
    EXPECT_EQ(after.bars.size(), before.bars.size() - 2);
    for (const SignalsSkyMark& mark : after.marks)
        EXPECT_NE(mark.system, GnssSystem::Galileo);
}

}  // namespace
