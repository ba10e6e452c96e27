#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFontInfo>
#include <QImage>
#include <QMenu>
#include <QTextBlock>
#include <QTextLayout>

#include "kit/command_actions.h"
#include "kit/page_menus.h"
#include "console/log_edit_ctrl.h"
#include "console/tests/widget_test_support.h"

namespace {

const QColor kDarkRed(128, 0, 0);
const QColor kDarkGreen(0, 128, 0);

TEST(LogEditCtrl, StartsEmptyReadOnlyInCourierNew8)
{
    LogEditCtrl log;
    EXPECT_TRUE(log.isReadOnly());
    EXPECT_EQ(log.m_maxLines, 50000);
    EXPECT_EQ(log.m_popupMenuId, 0);
    EXPECT_EQ(log.LineCount(), 1);
    EXPECT_EQ(log.font().pointSize(), 8);
    EXPECT_EQ(QFontInfo(log.font()).family(), QStringLiteral("Liberation Mono"));
    EXPECT_EQ(log.lineWrapMode(), QPlainTextEdit::NoWrap);
}

TEST(LogEditCtrl, AppendingAnEmptyTextChangesNothingAndDoesNotRepaint)
{
    LogEditCtrl log;
    log.resize(300, 200);
    log.show();
    log.AppendText(kDarkGreen, QStringLiteral("$GPGGA,1\n"));
    PaintCounter paints(log.viewport());
    QApplication::processEvents();
    paints.count = 0;

    log.AppendText(kDarkGreen, QString());
    QApplication::processEvents();
    EXPECT_EQ(paints.count, 0);
    EXPECT_EQ(log.toPlainText(), QStringLiteral("$GPGGA,1\n"));

    log.AppendText(kDarkGreen, QStringLiteral("$GPGGA,2\n"));
    QApplication::processEvents();
    EXPECT_EQ(paints.count, 1);
}

TEST(LogEditCtrl, TheFiftyThousandAndFirstLineRemovesTheFirst)
{
    LogEditCtrl log;
    QString lines;
    for (int i = 1; i <= 50000; ++i)
        lines += (i == 1 ? QString() : QStringLiteral("\n")) + QStringLiteral("L%1").arg(i);
    log.AppendText(kDarkGreen, lines);
    ASSERT_EQ(log.LineCount(), 50000);
    EXPECT_EQ(log.document()->firstBlock().text(), QStringLiteral("L1"));

    log.AppendText(kDarkGreen, QStringLiteral("\nL50001"));
    EXPECT_EQ(log.LineCount(), 50000);
    EXPECT_EQ(log.document()->firstBlock().text(), QStringLiteral("L2"));
    EXPECT_EQ(log.document()->lastBlock().text(), QStringLiteral("L50001"));
    EXPECT_EQ(log.textCursor().position(), log.document()->characterCount() - 1);
    EXPECT_FALSE(log.textCursor().hasSelection());
}

TEST(LogEditCtrl, LineLimitFollowsMaxLines)
{
    struct Case {
        int maxLines;
        int appended;  // lines "Ln\n", each leaving an empty last line
        int kept;
        const char* first;
    };
    const Case cases[] = {{3, 2, 3, "L0"}, {3, 3, 3, "L1"}, {3, 10, 3, "L8"}, {1, 5, 1, ""},
                          {0, 10, 11, "L0"}, {-1, 10, 11, "L0"}};
    for (const Case& c : cases) {
        LogEditCtrl log;
        log.m_maxLines = c.maxLines;
        for (int i = 0; i < c.appended; ++i)
            log.AppendText(kDarkGreen, QStringLiteral("L%1\n").arg(i));
        EXPECT_EQ(log.LineCount(), c.kept) << c.maxLines << " " << c.appended;
        EXPECT_EQ(log.document()->firstBlock().text(), QString::fromLatin1(c.first))
            << c.maxLines << " " << c.appended;
    }
}

TEST(LogEditCtrl, TabsAlignOnTheFifthOfAnInchGrid)
{
    LogEditCtrl log;
    log.resize(600, 200);
    log.show();
    const double stop = 0.2 * log.logicalDpiX();
    const QString texts[] = {"\tX", "a\tX", "abcdefgh\tX", "\t\tX", "abcdefghijkl\tX"};
    for (const QString& text : texts) {
        log.Clear();
        log.AppendText(kDarkRed, text);
        QTextBlock block = log.document()->firstBlock();
        QTextLayout* layout = block.layout();
        ASSERT_GT(layout->lineCount(), 0);
        const int xPos = text.indexOf('X');
        // Measured from where the text starts, inside the document margin.
        const double origin = layout->lineAt(0).cursorToX(0);
        const double before = layout->lineAt(0).cursorToX(xPos - 1) - origin;
        const double x = layout->lineAt(0).cursorToX(xPos) - origin;
        const double stops = x / stop;
        EXPECT_NEAR(stops, std::round(stops), 0.02) << text.toStdString() << " x=" << x;
        EXPECT_GT(x, before) << text.toStdString();
        EXPECT_LE(x - before, stop + 0.01) << text.toStdString();
    }
}

TEST(LogEditCtrl, TheWholeLogCarriesTheLastColour)
{
    LogEditCtrl log;
    log.resize(300, 120);
    log.show();
    log.AppendText(kDarkGreen, QStringLiteral("MMMMMMMMMMMMMMMMMMMMMM\n"));
    QImage image = log.viewport()->grab().toImage();
    EXPECT_GT(CountPixels(image, kDarkGreen, 40), 20);
    EXPECT_EQ(CountPixels(image, kDarkRed, 40), 0);

    log.AppendText(kDarkRed, QStringLiteral("WWWWWWWWWWWWWWWWWWWWWW\n"));
    image = log.viewport()->grab().toImage();
    EXPECT_GT(CountPixels(image, kDarkRed, 40), 40);
    EXPECT_EQ(CountPixels(image, kDarkGreen, 40), 0);
    for (QTextBlock b = log.document()->begin(); b.isValid(); b = b.next()) {
        for (const QTextLayout::FormatRange& range : b.textFormats())
            EXPECT_EQ(range.format.foreground().color(), kDarkRed) << b.text().toStdString();
    }
}

TEST(LogEditCtrl, ContextMenuByMenuId)
{
    struct Case {
        int menuId;
        int commandId;  // 0: no menu
        const char* text;
    };
    const Case cases[] = {{0, 0, ""},
                          {kMenuNmeaMonitorTx, kCmdClearTransmitScreen, "Clear &Transmit Screen"},
                          {kMenuNmeaMonitorRx, kCmdClearReceiveScreen, "Clear &Receive Screen"},
                          {999, 0, ""}};
    for (const Case& c : cases) {
        QWidget window;
        window.resize(400, 300);
        CommandActions commands;
        LogEditCtrl* log = new LogEditCtrl(&window);
        log->setGeometry(20, 30, 300, 200);
        log->m_popupMenuId = c.menuId;
        log->SetCommandActions(&commands);
        window.show();

        QMenu* menu = OpenContextMenu(log->viewport(), QPoint(40, 50), QContextMenuEvent::Mouse);
        if (c.commandId == 0) {
            EXPECT_EQ(menu, nullptr) << c.menuId;
            continue;
        }
        ASSERT_NE(menu, nullptr) << c.menuId;
        EXPECT_EQ(menu->parentWidget(), &window);
        ASSERT_EQ(menu->actions().size(), 1);
        EXPECT_EQ(menu->actions()[0], commands.Find(c.commandId));
        EXPECT_EQ(menu->actions()[0]->text(), QString::fromLatin1(c.text));
        EXPECT_EQ(menu->pos(), log->viewport()->mapToGlobal(QPoint(40, 50)));
        CloseMenu(menu);

        // From the keyboard, beside the control's top-left corner.
        menu = OpenContextMenu(log->viewport(), QPoint(100, 100), QContextMenuEvent::Keyboard);
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(menu->pos(), log->mapToGlobal(QPoint(5, 5)));
        CloseMenu(menu);
    }
}

TEST(CommandActions, OneActionPerIdCreatedWithItsFirstText)
{
    CommandActions commands;
    QAction* action = commands.ActionFor(61001, QStringLiteral("&First"));
    EXPECT_EQ(commands.ActionFor(61001, QStringLiteral("Second")), action);
    EXPECT_EQ(action->text(), QStringLiteral("&First"));
    EXPECT_EQ(action->data().toInt(), 61001);
    EXPECT_EQ(commands.Find(61002), nullptr);
    EXPECT_FALSE(commands.Trigger(61002));

    int triggered = 0;
    QObject::connect(action, &QAction::triggered, [&] { ++triggered; });
    EXPECT_TRUE(commands.Trigger(61001));
    EXPECT_EQ(triggered, 1);
    action->setEnabled(false);
    EXPECT_FALSE(commands.Trigger(61001));
    EXPECT_EQ(triggered, 1);
}

}  // namespace
