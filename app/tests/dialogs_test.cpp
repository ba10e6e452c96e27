#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/about_dlg.h"
#include "kit/fonts.h"
#include "app/app_pictures.h"
#include "app/connect_dlg.h"
#include "app/dialog_units.h"
#include "app/dop_threshold_dlg.h"
#include "app/number_format.h"
#include "app/set_position_dlg.h"
#include "app/tests/test_output.h"

namespace {

QStringList Items(const QComboBox* box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

QPushButton* Button(QWidget& dialog, const QString& text)
{
    for (QPushButton* button : dialog.findChildren<QPushButton*>())
        if (button->text() == text)
            return button;
    return nullptr;
}

// Clicks OK and answers the warning it raises; the warning's text, empty
// when there was none.
QString ClickOkReadingTheWarning(QDialog& dialog)
{
    QString message;
    QTimer answer;  // dies with this call, so an unused answer cannot fire later
    answer.setSingleShot(true);
    QObject::connect(&answer, &QTimer::timeout, [&message] {
        if (auto* msg = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            message = msg->text();
            msg->accept();
        }
    });
    answer.start(0);
    Button(dialog, "OK")->click();
    return message;
}

TEST(DialogFont, TahomaElevenPixels)
{
    EXPECT_TRUE(EnsureTahomaFont());
    const QFont font = DialogFont();
    EXPECT_EQ(QFontInfo(font).family(), "Tahoma");
    EXPECT_EQ(font.pixelSize(), 11);
}

TEST(DialogUnits, ConvertWithTheBaseUnits)
{
    const DialogUnits du(6, 13);
    struct Case {
        QRect units;
        QRect pixels;
    };
    const Case cases[] = {
        {QRect(7, 10, 67, 8), QRect(11, 16, 101, 13)},      // halves round up
        {QRect(61, 83, 50, 14), QRect(92, 135, 75, 23)},
        {QRect(0, 0, 227, 104), QRect(0, 0, 341, 169)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(du.Rect(c.units.x(), c.units.y(), c.units.width(), c.units.height()), c.pixels) << c.units.x();

    // Tahoma at 11 pixels measures like the other platform's 8-point dialog font.
    const DialogUnits tahoma(DialogFont());
    EXPECT_EQ(tahoma.BaseX(), 6);
    EXPECT_EQ(tahoma.BaseY(), 13);
}

// ---- Connect -------------------------------------------------------------

TEST(ConnectDlg, PortsSortedAsTextAndTheSavedOneSelected)
{
    const SerialPortList ports = {{"3", "Communications Port"}, {"10", "USB Serial Port"}};
    ConnectDlg dlg(ConnectValues{CommPort{3, ""}, 115200}, ports);
    auto* portBox = dlg.findChild<QComboBox*>("portBox");
    ASSERT_NE(portBox, nullptr);
    EXPECT_EQ(Items(portBox), QStringList({"10 - (USB Serial Port)", "3 - (Communications Port)"}));
    EXPECT_EQ(portBox->currentIndex(), 1);
    EXPECT_EQ(portBox->currentText(), "3 - (Communications Port)");
    EXPECT_EQ(dlg.Values(), (ConnectValues{CommPort{3, ""}, 115200}));

    portBox->setCurrentIndex(0);
    EXPECT_EQ(dlg.Values().port, (CommPort{10, ""}));
    SaveTestPicture(dlg, "connect_dlg_numbers");
}

TEST(ConnectDlg, DevicePaths)
{
    const SerialPortList ports = {{"/dev/ttyUSB0", "FT232R USB UART"}, {"/dev/ttyS0", "ttyS0"}};
    // A saved COM1 is the first serial device, so its entry is chosen.
    ConnectDlg dlg(ConnectValues{CommPort{1, ""}, 9600}, ports);
    auto* portBox = dlg.findChild<QComboBox*>("portBox");
    ASSERT_NE(portBox, nullptr);
    EXPECT_EQ(Items(portBox), QStringList({"/dev/ttyS0 - (ttyS0)", "/dev/ttyUSB0 - (FT232R USB UART)"}));
    EXPECT_EQ(portBox->currentIndex(), 0);
    EXPECT_EQ(dlg.Values().port, (CommPort{0, "/dev/ttyS0"}));

    portBox->setCurrentIndex(1);
    EXPECT_EQ(dlg.Values().port, (CommPort{0, "/dev/ttyUSB0"}));
    SaveTestPicture(dlg, "connect_dlg_paths");

    portBox->setEditText("/dev/ttyACM0");   // typed by the user
    EXPECT_EQ(dlg.Values().port, (CommPort{0, "/dev/ttyACM0"}));
}

TEST(ConnectDlg, SavedPortNotPresentStaysAsTyped)
{
    const SerialPortList ports = {{"3", "Communications Port"}, {"10", "USB Serial Port"}};
    ConnectDlg dlg(ConnectValues{CommPort{4, ""}, 9600}, ports);
    auto* portBox = dlg.findChild<QComboBox*>("portBox");
    ASSERT_NE(portBox, nullptr);
    EXPECT_EQ(portBox->currentIndex(), -1);
    EXPECT_EQ(portBox->currentText(), "4");
    EXPECT_EQ(dlg.Values().port, (CommPort{4, ""}));

    ConnectDlg empty(ConnectValues{CommPort{0, "/dev/ttyUSB1"}, 9600}, {});
    EXPECT_EQ(empty.findChild<QComboBox*>("portBox")->currentText(), "/dev/ttyUSB1");
    EXPECT_EQ(empty.Values().port, (CommPort{0, "/dev/ttyUSB1"}));
}

TEST(ConnectDlg, BaudBoxOffersTheRatesAndTakesTypedOnes)
{
    ConnectDlg dlg(ConnectValues{CommPort{1, ""}, 115200}, {});
    auto* baudBox = dlg.findChild<QComboBox*>("baudBox");
    ASSERT_NE(baudBox, nullptr);
    EXPECT_EQ(Items(baudBox), QStringList({"4800", "9600", "19200", "38400", "115200"}));
    EXPECT_EQ(baudBox->currentText(), "115200");

    struct Case {
        const char* typed;
        int baud;
    };
    const Case cases[] = {{"57600", 57600}, {" 4800", 4800}, {"9600 baud", 9600}, {"fast", 0}, {"", 0}};
    for (const Case& c : cases) {
        baudBox->setEditText(QString::fromLatin1(c.typed));
        EXPECT_EQ(dlg.Values().baud, c.baud) << '"' << c.typed << '"';
    }
}

TEST(ConnectDlg, OkAndCancel)
{
    ConnectDlg dlg(ConnectValues{CommPort{1, ""}, 9600}, {});
    EXPECT_EQ(dlg.windowTitle(), "Connect to GPS");
    ASSERT_NE(Button(dlg, "OK"), nullptr);
    ASSERT_NE(Button(dlg, "Cancel"), nullptr);
    EXPECT_TRUE(Button(dlg, "OK")->isDefault());
    Button(dlg, "OK")->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    Button(dlg, "Cancel")->click();
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
}

// The forms a port box takes are shown, and Enter connects to what was
// typed, not to a listed entry it begins.
TEST(ConnectDlg, ShowsTheSourceFormsAndEnterTakesTheTypedText)
{
    const SerialPortList ports = {{"tcp://127.0.0.1:2000", "recent network source"}, {"/dev/ttyS0", "ttyS0"}};
    ConnectDlg dlg(ConnectValues{CommPort{0, "/dev/ttyS0"}, 9600}, ports);
    auto* forms = dlg.findChild<QLabel*>("sourceForms");
    ASSERT_NE(forms, nullptr);
    for (const char* form : {"tcp://HOST:PORT", "udp://[ADDRESS]:PORT", "gpsd://HOST[:PORT]"})
        EXPECT_TRUE(forms->text().contains(QLatin1String(form))) << form;
    // Inside the dialog, above the buttons, on the lines it wraps to.
    const QRect ok = Button(dlg, "OK")->geometry();
    EXPECT_LE(forms->geometry().bottom(), ok.top());
    EXPECT_GE(forms->geometry().height(), forms->heightForWidth(forms->width()));
    dlg.show();
    SaveTestPicture(dlg, "connect_dlg_forms");

    auto* portBox = dlg.findChild<QComboBox*>("portBox");
    ASSERT_NE(portBox, nullptr);
    portBox->setFocus();
    portBox->lineEdit()->clear();
    QTest::keyClicks(portBox->lineEdit(), "tcp://127.0.0.1");
    QTest::keyClick(portBox->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(CommPortText(dlg.Values().port), "tcp://127.0.0.1");
}

// ---- DOP threshold -------------------------------------------------------

TEST(DOPThresholdDlg, TextRoundTrip)
{
    DopThresholdDlg dlg(DopThresholdValues{QString::fromStdString(FormatDopThreshold(3.0))});
    auto* edit = dlg.findChild<QLineEdit*>("thresholdEdit");
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), "3.00");
    EXPECT_EQ(dlg.Values().threshold, "3.00");
    EXPECT_EQ(dlg.windowTitle(), "Dilution of Precision Threshold");
    SaveTestPicture(dlg, "dop_threshold_dlg");

    // Everything a number starts is accepted and converted by the caller;
    // text with no number, and numbers beyond a double, are refused.
    const struct {
        const char* typed;
        const char* refusal;
    } cases[] = {
        {"2.999", ""},
        {"-1", ""},
        {"2.5abc", ""},
        {"abc", "Enter a number."},
        {"", "Enter a number."},
        {"nan", "Enter a number."},
        {"1e999", "Dilution of Precision Threshold must be a finite number."},
        {"-1e999", "Dilution of Precision Threshold must be a finite number."},
    };
    dlg.show();
    for (const auto& c : cases) {
        edit->setText(QString::fromLatin1(c.typed));
        dlg.setResult(QDialog::Rejected);
        dlg.setVisible(true);
        EXPECT_EQ(ClickOkReadingTheWarning(dlg), c.refusal) << c.typed;
        EXPECT_EQ(dlg.result(), *c.refusal ? QDialog::Rejected : QDialog::Accepted) << c.typed;
        EXPECT_EQ(dlg.Values().threshold, c.typed);
    }
    edit->setText("2.999");
    EXPECT_EQ(DopThresholdHundredths(ParseDopThreshold(dlg.Values().threshold.toStdString())), 299);
}

// ---- Set Position --------------------------------------------------------

TEST(SetPositionDlg, NineDecimalsShownInFullAndReturnedUnchanged)
{
    const UserPosition saved{47.123456789, -122.987654321, 123.456};
    SetPositionDlg dlg(saved);
    EXPECT_EQ(dlg.windowTitle(), "Set Position");
    EXPECT_EQ(dlg.findChild<QLineEdit*>("latitudeEdit")->text(), "47.123456789");
    EXPECT_EQ(dlg.findChild<QLineEdit*>("longitudeEdit")->text(), "-122.987654321");
    EXPECT_EQ(dlg.findChild<QLineEdit*>("altitudeEdit")->text(), "123.456");
    Button(dlg, "OK")->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.Values(), saved);
    SaveTestPicture(dlg, "set_position_dlg");
}

TEST(SetPositionDlg, RefusesWhatIsNotANumberOrNoPlace)
{
    const struct {
        const char* box;
        const char* typed;
        const char* message;
    } cases[] = {
        {"latitudeEdit", "", "Enter a number."},
        {"latitudeEdit", "abc", "Enter a number."},
        {"longitudeEdit", "12abc", "Enter a number."},
        {"altitudeEdit", "1,5", "Enter a number."},
        {"altitudeEdit", "1e999", "Enter a number."},
        {"latitudeEdit", "91", "Latitude must lie between -90 and 90 degrees; 91 is outside."},
        {"longitudeEdit", "-200", "Longitude must lie between -180 and 180 degrees; -200 is outside."},
        {"altitudeEdit", "1e308", "Altitude must lie between -100000 and 100000 metres; 1e+308 is outside."},
    };
    for (const auto& c : cases) {
        SetPositionDlg dlg(UserPosition{1.0, 2.0, 3.0});
        dlg.show();
        auto* edit = dlg.findChild<QLineEdit*>(c.box);
        ASSERT_NE(edit, nullptr);
        edit->setText(QString::fromLatin1(c.typed));
        dlg.setResult(QDialog::Rejected);
        EXPECT_EQ(ClickOkReadingTheWarning(dlg), c.message) << c.box << " \"" << c.typed << '"';
        EXPECT_TRUE(dlg.isVisible()) << "the dialog stays open";
        EXPECT_EQ(dlg.result(), QDialog::Rejected);
        EXPECT_EQ(dlg.focusWidget(), edit) << c.box;
    }
}

TEST(SetPositionDlg, TypedNumbersAreReturned)
{
    SetPositionDlg dlg(UserPosition{});
    dlg.findChild<QLineEdit*>("latitudeEdit")->setText(" -33.856784 ");
    dlg.findChild<QLineEdit*>("longitudeEdit")->setText("151.215297");
    dlg.findChild<QLineEdit*>("altitudeEdit")->setText("1e2");
    Button(dlg, "OK")->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.Values(), (UserPosition{-33.856784, 151.215297, 100.0}));
}

// ---- About ---------------------------------------------------------------

TEST(AboutPictureHeight, ScalesToTheWidth)
{
    struct Case {
        int clientWidth;
        int height;
    };
    const Case cases[] = {{447, 189}, {452, 191}, {300, 126}, {223, 94}, {894, 378}, {0, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(AboutPictureHeight(c.clientWidth, 447, 189), c.height) << c.clientWidth;
    EXPECT_EQ(AboutPictureHeight(447, 0, 189), 0);
}

TEST(AboutDlg, PictureFillsTheWidthAndKeepsItsProportions)
{
    InitAppResources();
    const QImage picture(pictures::kAbout);
    ASSERT_EQ(picture.size(), QSize(447, 189));

    AboutDlg dlg;
    EXPECT_EQ(dlg.windowTitle(), "About Stelmap");
    EXPECT_TRUE(AboutDlg::VersionText().startsWith("Helmarc Stelmap, Version 1.0.0 ("));
    EXPECT_EQ(dlg.findChild<QLabel*>("versionText")->text(), AboutDlg::VersionText());
    SaveTestPicture(dlg, "about_dlg");

    const QColor face = dlg.palette().color(QPalette::Window);
    for (int width : {447, 300}) {
        dlg.setFixedWidth(width);
        const QImage shot = dlg.grab().toImage();
        const int height = AboutPictureHeight(width, 447, 189);
        for (int x : {2, width / 2, width - 3}) {
            EXPECT_NE(shot.pixelColor(x, height - 1), face) << width << " x " << x;   // picture
            EXPECT_EQ(shot.pixelColor(x, height), face) << width << " x " << x;       // dialog
        }
        if (width == 447) {   // at its natural size the picture is copied unchanged
            EXPECT_EQ(shot.pixelColor(100, 60), picture.pixelColor(100, 60));
        }
    }
}

}  // namespace
