#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <map>
#include <memory>

#include "kit/command_actions.h"
#include "kit/page_menus.h"

namespace {

TEST(CommandActions, OneActionPerIdWithItsTexts)
{
    CommandActions commands;
    EXPECT_EQ(commands.Find(kCmdClearScatterPlot), nullptr);
    QAction* clear = commands.ActionFor(kCmdClearScatterPlot);
    ASSERT_NE(clear, nullptr);
    EXPECT_EQ(commands.ActionFor(kCmdClearScatterPlot), clear);
    EXPECT_EQ(commands.Find(kCmdClearScatterPlot), clear);
    EXPECT_EQ(CommandId(clear), kCmdClearScatterPlot);
    EXPECT_EQ(clear->text(), "&Clear Plot");
    EXPECT_EQ(clear->statusTip(), "Clears the scatter plot");
    EXPECT_EQ(clear->toolTip(), "Clear Plot");

    QAction* mask = commands.ActionFor(kCmdClearAzElMask);
    EXPECT_EQ(mask->statusTip(), "Clears the azmuth/elevation mask");
    EXPECT_EQ(mask->toolTip(), "Clear Azimuth/Elevation Mask");

    // An id the table does not know still gets an action for the owner to dress.
    QAction* unknown = commands.ActionFor(40000);
    EXPECT_EQ(CommandId(unknown), 40000);
    EXPECT_NE(unknown, clear);
}

// Features add their commands to one table: a second entry for an id would
// never be read.
TEST(CommandTexts, OneEntryPerId)
{
    std::map<int, int> entries;
    for (const CommandText& c : CommandTexts())
        EXPECT_EQ(++entries[c.id], 1) << c.id << " " << c.text;
    EXPECT_EQ(entries.count(kMenuSeparator), 0u);
}

TEST(CommandActions, EveryMenuCommandTriggersByItsId)
{
    CommandActions commands;
    std::map<int, int> fired;
    const int ids[] = {kCmdClearSatelliteTrails, kCmdClearAzElMask, kCmdCenterNextSample,
                       kCmdCenterOnAverage,      kCmdCenterUserPosition, kCmdClearScatterPlot};
    for (int id : ids)
        QObject::connect(commands.ActionFor(id), &QAction::triggered, [&fired, id] { ++fired[id]; });
    for (int id : ids)
        EXPECT_TRUE(commands.Trigger(id)) << id;
    for (int id : ids)
        EXPECT_EQ(fired[id], 1) << id;
    EXPECT_FALSE(commands.Trigger(12345));
}

TEST(CommandActions, PopupMenusShowTheSharedActions)
{
    CommandActions commands;
    const std::unique_ptr<QMenu> front(commands.CreateContextMenu(PopupMenuCommands(kFrontPanelMenuId), nullptr));
    ASSERT_TRUE(front);
    ASSERT_EQ(front->actions().size(), 2);
    EXPECT_EQ(front->actions()[0], commands.Find(kCmdClearSatelliteTrails));
    EXPECT_EQ(front->actions()[1], commands.Find(kCmdClearAzElMask));

    const std::unique_ptr<QMenu> scatter(commands.CreateContextMenu(PopupMenuCommands(kScatterPlotMenuId), nullptr));
    ASSERT_TRUE(scatter);
    ASSERT_EQ(scatter->actions().size(), 5);
    EXPECT_TRUE(scatter->actions()[3]->isSeparator());
    EXPECT_EQ(scatter->actions()[4], commands.Find(kCmdClearScatterPlot));

    EXPECT_EQ(commands.CreateContextMenu(PopupMenuCommands(0), nullptr), nullptr);
    EXPECT_EQ(commands.CreateContextMenu(PopupMenuCommands(999), nullptr), nullptr);
}

}  // namespace
