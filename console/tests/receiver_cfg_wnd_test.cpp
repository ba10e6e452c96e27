#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "console/receiver_cfg_wnd.h"
#include "kit/page_look.h"
#include "kit/page_painting.h"
#include "console/sentence_sender.h"
#include "console/tests/recording_link.h"
#include "console/tests/widget_test_support.h"

namespace {

using Writes = std::vector<std::string>;

class ReceiverCfgTest : public ::testing::Test {
protected:
    ReceiverCfgTest()
    {
        sender.SetLink(&link);
        sender.SetTransmitLog([this](std::string_view bytes) { logged += bytes; });
        page.SetSentenceSender(&sender);
        page.resize(480, 360);
        page.show();
        QApplication::processEvents();
    }

    static void Click(QListWidget* list, const char* text)
    {
        const QList<QListWidgetItem*> items = list->findItems(QString::fromLatin1(text), Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << text;
        list->scrollToItem(items.front());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(items.front()).center());
    }

    RecordingLink link;
    SentenceSender sender;
    std::string logged;
    ReceiverCfgWnd page;
};

TEST_F(ReceiverCfgTest, ListsStartWithoutSelection)
{
    for (const QListWidget* list : page.findChildren<QListWidget*>())
        EXPECT_TRUE(list->selectedItems().isEmpty()) << list->objectName().toStdString();
    EXPECT_EQ(page.ListNOM()->count(), 14);
    EXPECT_EQ(page.ListNOM()->selectionMode(), QAbstractItemView::MultiSelection);
    EXPECT_EQ(page.ComposedPXTNCFG(), "$PXTNCFG,,,,,,,,");
    EXPECT_EQ(page.ComposedPXTNNOM(), "$PXTNNOM,00000000,");
}

TEST_F(ReceiverCfgTest, SendPXTNNOMFromTheChosenSentences)
{
    for (const char* item : {"GGA", "GSA", "GSV", "VTG"})
        Click(page.ListNOM(), item);
    Click(page.ListPersist(), "Persist");
    QTest::mouseClick(page.ButtonSendPXTNNOM(), Qt::LeftButton);
    EXPECT_EQ(link.writes, (Writes{"$PXTNNOM,0000002E,1*18", "\r\n"}));
    SavePageImage(page.grab().toImage(), "receiver_cfg_selected.png");

    // A second click takes an item out again.
    link.writes.clear();
    Click(page.ListNOM(), "GSA");
    Click(page.ListPersist(), "Reset");
    QTest::mouseClick(page.ButtonSendPXTNNOM(), Qt::LeftButton);
    EXPECT_EQ(link.writes, (Writes{"$PXTNNOM,0000002A,0*1D", "\r\n"}));

    // "<keep>" empties the mask whatever else is chosen.
    link.writes.clear();
    Click(page.ListNOM(), "<keep>");
    Click(page.ListPersist(), "<keep>");
    QTest::mouseClick(page.ButtonSendPXTNNOM(), Qt::LeftButton);
    EXPECT_EQ(link.writes, (Writes{"$PXTNNOM,,*5E", "\r\n"}));
}

TEST_F(ReceiverCfgTest, ThreeHundredTwentyPixelsWideGivesColumnsOfOneHundred)
{
    SetCurrentAppLook(kLookOffice2007Black);
    page.resize(320, 240);
    QApplication::processEvents();
    struct Cell {
        const char* label;
        QWidget* control;
        int x;
        int labelY;
    };
    const Cell cells[] = {
        {"m_staticPXTNCFG", page.ButtonSendPXTNCFG(), 5, 5},
        {"m_staticCOM1TXProtocol", page.ListCOM1TXProtocol(), 110, 5},
        {"m_staticCOM2TXProtocol", page.ListCOM2TXProtocol(), 215, 5},
        {"m_staticPXTNNOM", page.ButtonSendPXTNNOM(), 5, 122},
        {"m_staticNOM", page.ListNOM(), 110, 122},
        {"m_staticPersist", page.ListPersist(), 215, 122},
    };
    for (const Cell& c : cells) {
        const QLabel* label = page.findChild<QLabel*>(QString::fromLatin1(c.label));
        ASSERT_NE(label, nullptr) << c.label;
        EXPECT_EQ(label->geometry(), QRect(c.x, c.labelY, 100, 20)) << c.label;
        EXPECT_EQ(c.control->geometry(), QRect(c.x, c.labelY + 25, 100, 87)) << c.label;
    }

    const QImage image = page.grab().toImage();
    SavePageImage(image, "receiver_cfg_320.png");
    // The margins between the cells show the page background: in the black
    // look, the grey band of their row.
    const auto bands = BlackStyleGradientBands(0, 240);
    const auto GreyAt = [&bands](int y) {
        for (const GradientBand& band : bands) {
            if (y >= band.top && y < band.bottom)
                return qRgb(band.grey, band.grey, band.grey);
        }
        return qRgb(1, 2, 3);
    };
    for (const QPoint p : {QPoint(2, 2), QPoint(107, 60), QPoint(212, 200), QPoint(317, 238), QPoint(50, 119)})
        EXPECT_EQ(image.pixel(p), GreyAt(p.y())) << p.x() << "," << p.y();
    EXPECT_EQ(image.pixel(150, 100), page.ListCOM1TXProtocol()->palette().color(QPalette::Base).rgb());
}

}  // namespace
