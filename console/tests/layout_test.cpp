#include <gtest/gtest.h>

#include "console/monitor_layout.h"
#include "console/receiver_cfg_layout.h"

namespace {

TEST(MonitorLayout, SendRowCaptionBarAndLogs)
{
    // Line height 16, "Send" 30 wide, "Automatic Checksum" 110 wide,
    // caption line height 22.
    const MonitorLayout layout = ComputeMonitorLayout(800, 600, {16, 30, 110, 22});
    EXPECT_EQ(layout.sendRow, (PixelRect{0, 0, 800, 32}));
    EXPECT_EQ(layout.buttonSend, (PixelRect{737, 2, 797, 25}));
    // d = 800 - 60 - 6 - 132
    EXPECT_EQ(layout.checksumTick, (PixelRect{602, 2, 734, 25}));
    EXPECT_EQ(layout.comboSend, (PixelRect{3, 3, 599, 32}));
    EXPECT_EQ(layout.header, (PixelRect{0, 32, 800, 58}));
    EXPECT_EQ(layout.middleX, 400);
    EXPECT_EQ(layout.editTx, (PixelRect{0, 58, 400, 600}));
    EXPECT_EQ(layout.editRx, (PixelRect{401, 58, 800, 600}));
    EXPECT_EQ(layout.transmitCaptionX, 200);
    EXPECT_EQ(layout.receiveCaptionX, 600);
    EXPECT_EQ(layout.captionY, 34);
}

TEST(MonitorLayout, CheckBoxEdgeIsTruncated)
{
    struct Case {
        int width;
        int checksumWidth;
        int tickLeft;
    };
    const Case cases[] = {
        {800, 111, 600},  // 600.8
        {800, 109, 603},  // 603.2
        {100, 110, -98},  // -98.0
        {100, 111, -99},  // -99.2 truncates towards zero
    };
    for (const Case& c : cases) {
        const MonitorLayout layout = ComputeMonitorLayout(c.width, 300, {16, 30, c.checksumWidth, 22});
        EXPECT_EQ(layout.checksumTick.left, c.tickLeft) << c.width << " " << c.checksumWidth;
        EXPECT_EQ(layout.checksumTick.right, c.width - 60 - 6) << c.width;
        EXPECT_EQ(layout.comboSend.right, c.tickLeft - 3) << c.width;
    }
}

TEST(MonitorLayout, ResizingKeepsTheLogsHalfTheWidthOnePixelApart)
{
    for (const int width : {2, 3, 320, 321, 640, 641, 1279, 1920}) {
        const MonitorLayout layout = ComputeMonitorLayout(width, 480, {13, 24, 100, 16});
        EXPECT_EQ(layout.editTx.left, 0) << width;
        EXPECT_EQ(layout.editTx.right, width / 2) << width;
        EXPECT_EQ(layout.editRx.left, layout.editTx.right + 1) << width;
        EXPECT_EQ(layout.editRx.right, width) << width;
        EXPECT_LE(std::abs(layout.editTx.Width() - layout.editRx.Width()), 1) << width;
        EXPECT_EQ(layout.editTx.top, 26 + 20) << width;
        EXPECT_EQ(layout.editRx.bottom, 480) << width;
        EXPECT_EQ(layout.buttonSend.right, width - 3) << width;
    }
}

TEST(ReceiverCfgLayout, ThreeHundredTwentyPixelsGiveColumnsOfOneHundred)
{
    const ReceiverCfgGrid grid;
    const ReceiverCfgLayout layout = ComputeReceiverCfgLayout(320, 240, grid);
    EXPECT_EQ(layout.columnWidth, 100);
    // (240 - 2 * (20 + 10) - 5) / 2
    EXPECT_EQ(layout.controlHeight, 87);
    ASSERT_EQ(layout.cells.size(), 6u);
    const int lefts[] = {5, 110, 215};
    for (int column = 0; column < 3; ++column) {
        const int x = lefts[column];
        EXPECT_EQ(layout.Cell(0, column, 3).label, (PixelRect{x, 5, x + 100, 25}));
        EXPECT_EQ(layout.Cell(0, column, 3).control, (PixelRect{x, 30, x + 100, 117}));
        EXPECT_EQ(layout.Cell(1, column, 3).label, (PixelRect{x, 122, x + 100, 142}));
        EXPECT_EQ(layout.Cell(1, column, 3).control, (PixelRect{x, 147, x + 100, 234}));
    }
}

TEST(ReceiverCfgLayout, IntegerDivisionOnOddSizes)
{
    struct Case {
        int width, height, columnWidth, controlHeight;
    };
    const Case cases[] = {{320, 240, 100, 87}, {322, 241, 100, 88}, {323, 242, 101, 88},
                          {20, 65, 0, 0},      {10, 10, -3, -27}};
    for (const Case& c : cases) {
        const ReceiverCfgLayout layout = ComputeReceiverCfgLayout(c.width, c.height, ReceiverCfgGrid{});
        EXPECT_EQ(layout.columnWidth, c.columnWidth) << c.width << "x" << c.height;
        EXPECT_EQ(layout.controlHeight, c.controlHeight) << c.width << "x" << c.height;
    }
}

}  // namespace
