// The main window's commands as the user meets them: menus, settings
// commands and their questions, looks, toolbar customisation, update alert.
#include <gtest/gtest.h>

#include <QActionGroup>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <atomic>
#include <functional>
#include <thread>
#include <memory>

#include "analysis/position_plot_wnd.h"
#include "app/app_look.h"
#include "app/app_settings.h"
#include "app/page_tabs.h"
#include "app/customize_dlg.h"
#include "app/dop_threshold_dlg.h"
#include "app/update_alert_wnd.h"
#include "app/main_window.h"
#include "app/set_position_dlg.h"
#include "app/tests/test_output.h"
#include "app/tests/gui_test_support.h"
#include "app/toolbar_customization.h"
#include "kit/command_actions.h"
#include "displays/front_panel_status_wnd.h"
#include "kit/page_look.h"
#include "kit/page_menus.h"
#include "kit/page_painting.h"
#include "displays/scatter_plot_wnd.h"
#include "link/link_objects.h"
#include "link/serial_port.h"

namespace {

void ClearSettings()
{
    const std::unique_ptr<QSettings> settings = OpenAppSettings();
    settings->clear();
    settings->sync();
}

// The toolbar's buttons as command ids, separators as 0, without the
// customise button.
std::vector<int> ButtonIds(const QToolBar* bar)
{
    std::vector<int> ids;
    for (QAction* action : bar->actions()) {
        if (action->objectName() == QLatin1String("customizeButton"))
            continue;
        ids.push_back(action->isSeparator() ? 0 : CommandId(action));
    }
    return ids;
}

const std::vector<int> kStandardButtons = {32788, 0, 32791, 32794, 32793, 0, 57664};

class Commands : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearSettings();
        g_parser.m_dualMode = 0;
        g_parser.m_solutionMode = ReceiverState::Integrity;
        Start();
    }
    void TearDown() override
    {
        m_frame.reset();
        g_sio.Close();
        g_parser.m_dualMode = 0;
        g_parser.m_solutionMode = ReceiverState::Integrity;
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    }

    void Start() { m_frame = std::make_unique<MainWindow>(NoReceiver()); }
    // Closes the window as the user would, so it saves its workspace, and
    // starts the program again.
    void Restart()
    {
        m_frame->close();
        m_frame.reset();
        Start();
    }

    bool Trigger(int id) { return m_frame->Commands().Trigger(id); }
    ScatterPlotWnd* Scatter() const { return m_frame->View()->ScatterPlot(); }
    PositionPlotWnd* PositionPlot() const { return m_frame->View()->PositionPlot(); }
    FrontPanelStatusWnd* FrontPanel() const { return m_frame->View()->FrontPanel(); }
    QString Pane(int index) const { return m_frame->PaneLabel(index)->text(); }

    // Three fixes through the window's own path, with a satellite that
    // leaves trails and a mask.
    void FeedFixes()
    {
        for (int i = 0; i < 3; ++i) {
            {
                std::lock_guard lock(g_dataLock);
                DisplaySnapshot& s = g_displaySnapshot;
                s.latitude = 47.0707 + i * 1e-5;
                s.longitude = 15.4395 + i * 1e-5;
                s.altitude = 355.0;
                s.gpsHdop = 1.0;
                s.gpsVdop = 1.3;
                s.hplCm = 420;
                s.hfomCm = 310;
                s.satsInView = 1;
                s.satellites[0] = SnapshotSatellite{0, 3, 40 + 5 * i, 30 + 2 * i, 45, 1};
            }
            m_frame->OnPositionUpdate();
        }
    }

    // What the displays hold: scatter samples, position samples, trail points.
    std::tuple<size_t, uint64_t, uint32_t> DisplayData() const
    {
        return {Scatter()->Model().Samples().size(), PositionPlot()->Statistics().SampleCount(),
                FrontPanel()->SkyPlot().History().TrailCount()};
    }

    // Opens the scatter plot's context menu as a right click does and notes
    // which centring item carries the check mark.
    int CheckedCentreMode()
    {
        const std::unique_ptr<QMenu> menu(m_frame->Commands().CreateContextMenu(PopupMenuCommands(kScatterPlotMenuId), Scatter()));
        menu->popup(QPoint(10, 10));
        int mode = -1;
        const int ids[] = {kCmdCenterUserPosition, kCmdCenterOnAverage, kCmdCenterNextSample};
        for (int m = 0; m < 3; ++m)
            if (m_frame->Action(ids[m])->isChecked())
                mode = mode == -1 ? m : -2;  // -2: more than one
        menu->close();
        return mode;
    }

    std::unique_ptr<MainWindow> m_frame;
};

TEST_F(Commands, MenuBarItemsIdsAndAccessKeys)
{
    struct Item {
        QString path;  // menu titles down to the item, "|" between
        int id;        // 0: a submenu or separator
    };
    const Item items[] = {
        {"&File|&Analyse Recording...", 33200},
        {"&File|&Export Track...", 33201},
        {"&File|", 0},
        {"&File|E&xit", 57665},
        {"&Edit|&Undo\tCtrl+Z", 57643},
        {"&Edit|", 0},
        {"&Edit|Cu&t\tCtrl+X", 57635},
        {"&Edit|&Copy\tCtrl+C", 57634},
        {"&Edit|&Paste\tCtrl+V", 57637},
        {"&View|&Toolbars and Docking Windows", 0},
        {"&View|&Status Bar", 59393},
        {"&View|&Application Look", 0},
        {"&View|&Application Look|&Blue Style", 32781},
        {"&View|&Application Look|B&lack Style", 32782},
        {"&Tools|&Connect to GPS...", 32788},
        {"&Tools|Record/Play", 0},
        {"&Tools|Record/Play|&Play Back Data...", 32793},
        {"&Tools|Record/Play|&Record Data...", 32791},
        {"&Tools|Record/Play|&Stop", 32794},
        {"&Tools|Settings", 0},
        {"&Tools|Settings|&Set DOP Threshold...", 32824},
        {"&Tools|Settings|Set &User Position...", 32826},
        {"&Tools|", 0},
        {"&Tools|Dual Mode Filter", 0},
        {"&Tools|Dual Mode Filter|Precision", 32831},
        {"&Tools|Dual Mode Filter|Integrity", 32832},
        {"&Tools|", 0},
        {"&Tools|Set &Alert Limit...", 33252},
        {"&Tools|Re&set Accuracy", 33250},
        {"&Tools|&Export Accuracy Report...", 33251},
        {"&Tools|", 0},
        {"&Tools|Reconnect &Automatically", kCmdReconnectAutomatically},
        {"&Tools|Find &Baud Rate", kCmdFindBaudRate},
        {"&Tools|&Link Health...", kCmdLinkHealth},
        {"&Tools|", 0},
        {"&Tools|NTRIP Client...", 0},
        {"&Tools|NTRIP Status", 0},
        {"&Tools|Stop NTRIP", 0},
        {"&Help|&About Stelmap...", 57664},
    };
    QStringList topLevel, shown;
    std::function<void(QMenu*, const QString&)> walk = [&](QMenu* menu, const QString& prefix) {
        for (QAction* a : menu->actions()) {
            const QString path = prefix + a->text();
            shown << path + QStringLiteral(" #%1").arg(a->menu() != nullptr ? 0 : CommandId(a));
            // The pane list is filled as it opens.
            if (a->menu() != nullptr && a->text() != QLatin1String("&Toolbars and Docking Windows"))
                walk(a->menu(), path + QLatin1Char('|'));
        }
    };
    for (QAction* top : m_frame->menuBar()->actions()) {
        topLevel << top->text();
        walk(top->menu(), top->text() + QLatin1Char('|'));
    }
    EXPECT_EQ(topLevel, QStringList({"&File", "&Edit", "&View", "&Tools", "&Help"}));
    QStringList expected;
    for (const Item& item : items)
        expected << item.path + QStringLiteral(" #%1").arg(item.id);
    EXPECT_EQ(shown, expected);

    // The pane list fills as it opens: the toolbars, then "Customize...".
    QMenu* panes = nullptr;
    for (QAction* a : m_frame->menuBar()->actions().at(2)->menu()->actions())
        if (a->text() == QLatin1String("&Toolbars and Docking Windows"))
            panes = a->menu();
    ASSERT_NE(panes, nullptr);
    for (int twice = 0; twice < 2; ++twice) {
        emit panes->aboutToShow();
        ASSERT_FALSE(panes->actions().isEmpty());
        EXPECT_EQ(panes->actions().first()->text(), "Standard");
        EXPECT_EQ(CommandId(panes->actions().last()), 32773);
    }

    // Shortcuts, prompts and tooltips of the toolbar's commands.
    EXPECT_EQ(m_frame->Action(57634)->shortcuts(),
              QList<QKeySequence>({QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)}));
    EXPECT_EQ(m_frame->Action(57681)->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F6));
    EXPECT_EQ(m_frame->Action(32813)->statusTip(), "Clears and resets the position plots data");
    EXPECT_EQ(m_frame->Action(32813)->toolTip(), "Clear Plot Data");
    EXPECT_EQ(ButtonIds(m_frame->StandardToolBar()), kStandardButtons);
    EXPECT_EQ(m_frame->StandardToolBar()->windowTitle(), "Standard");
    EXPECT_EQ(m_frame->StandardToolBar()->iconSize(), QSize(32, 32));
}

TEST_F(Commands, RadioMarksForSolutionAndLook)
{
    for (int id : {32831, 32832, 32781, 32782}) {
        ASSERT_NE(m_frame->Action(id)->actionGroup(), nullptr) << id;
        EXPECT_TRUE(m_frame->Action(id)->actionGroup()->isExclusive()) << id << " draws a radio mark";
    }
    for (int id : {32818, 32820, 32821})
        EXPECT_EQ(m_frame->Action(id)->actionGroup(), nullptr) << id << " draws a check mark";

    g_parser.m_dualMode = 1;
    m_frame->UpdateCommandUI();
    QMenu* dual = m_frame->Action(kCmdPrecision)->associatedObjects().isEmpty()
                      ? nullptr
                      : qobject_cast<QMenu*>(m_frame->Action(kCmdPrecision)->associatedObjects().front());
    ASSERT_NE(dual, nullptr);
    dual->popup(QPoint(0, 0));
    SaveTestPicture(*dual, "menu_dual_mode");
    dual->close();
    const std::unique_ptr<QMenu> scatter(m_frame->Commands().CreateContextMenu(PopupMenuCommands(kScatterPlotMenuId), Scatter()));
    scatter->popup(QPoint(0, 0));
    SaveTestPicture(*scatter, "menu_scatter_plot");
    scatter->close();
}

TEST_F(Commands, DopThresholdThroughTheDialog)
{
    struct Case {
        QString typed;
        QString proposed;  // what the dialog offered
        double stored;
        int pageX100;
    };
    const Case cases[] = {
        {"2.999", "3.00", 2.999, 299},       // no saved value: 3.0
        {"-1.5", "3.00", -1.5, -150},        // 2.999 shows rounded
        {"  4.5e0 dB", "-1.50", 4.5, 450},   // the number that starts the text
        {"0", "4.50", 0.0, 0},               // text with no number is refused by the dialog itself
    };
    for (const Case& c : cases) {
        QString proposed;
        ModalDriver driver([&](QWidget* modal) {
            auto* dialog = qobject_cast<DopThresholdDlg*>(modal);
            ASSERT_NE(dialog, nullptr);
            auto* edit = dialog->findChild<QLineEdit*>("thresholdEdit");
            proposed = edit->text();
            edit->setText(c.typed);
            dialog->accept();
        });
        ASSERT_TRUE(Trigger(kCmdSetDopThreshold));
        EXPECT_EQ(proposed, c.proposed) << c.typed.toStdString();
        const std::unique_ptr<QSettings> settings = OpenAppSettings();
        EXPECT_EQ(settings->value("Settings/DOP Threshold").toByteArray(), EncodeStoredDouble(c.stored))
            << c.typed.toStdString();
        EXPECT_EQ(Scatter()->Model().DopThresholdX100(), c.pageX100) << c.typed.toStdString();
    }

    // Cancel changes nothing; the next start hands the saved value to the page.
    ModalDriver cancel([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    ASSERT_TRUE(Trigger(kCmdSetDopThreshold));
    EXPECT_EQ(ReadDopThreshold(), 0.0);
    ASSERT_TRUE(WriteDopThreshold(2.999));
    Restart();
    EXPECT_EQ(Scatter()->Model().DopThresholdX100(), 299);
}

TEST_F(Commands, UserPositionThroughTheDialogReachesBothPages)
{
    ModalDriver driver([](QWidget* modal) {
        auto* dialog = qobject_cast<SetPositionDlg*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QLineEdit*>("latitudeEdit")->setText("47.123456789");
        dialog->findChild<QLineEdit*>("longitudeEdit")->setText("-15.5");
        dialog->findChild<QLineEdit*>("altitudeEdit")->setText("355.25");
        dialog->accept();
    });
    ASSERT_TRUE(Trigger(kCmdSetUserPosition));
    const UserPosition saved = ReadUserPosition();
    EXPECT_EQ(saved.latitude, 47.123456789);
    EXPECT_EQ(saved.longitude, -15.5);
    EXPECT_EQ(saved.altitude, 355.25);
    const ScatterPlotPosition& user = Scatter()->Model().UserPosition();
    EXPECT_EQ(user.latE6, 47123456);
    EXPECT_EQ(user.lonE6, -15500000);
    EXPECT_EQ(user.altMm, 355250);
    EXPECT_EQ(PositionPlot()->Statistics().UserLatitude(), 47.123456789);
    EXPECT_EQ(PositionPlot()->Statistics().UserAltitude(), 355.25);
}

TEST_F(Commands, PrecisionAnsweredNoKeepsTheDisplays)
{
    FeedFixes();
    const auto before = DisplayData();
    ASSERT_GT(std::get<0>(before), 0u);
    ASSERT_GT(std::get<2>(before), 0u);

    m_frame->UpdateCommandUI();
    EXPECT_FALSE(Trigger(kCmdPrecision)) << "disabled outside dual mode";

    g_parser.m_dualMode = 1;
    m_frame->UpdateCommandUI();
    {
        Answers no(QMessageBox::No);
        ASSERT_TRUE(Trigger(kCmdPrecision));
        EXPECT_EQ(no.texts, QStringList{"This will clear all displays and reset averages. Continue?"});
        EXPECT_EQ(no.icons, QList<QMessageBox::Icon>{QMessageBox::Warning});
        EXPECT_EQ(no.buttons, QList<QMessageBox::StandardButtons>{QMessageBox::Yes | QMessageBox::No});
    }
    EXPECT_EQ(g_parser.m_solutionMode.load(), ReceiverState::Precision);
    m_frame->UpdateCommandUI();
    EXPECT_EQ(Pane(MainWindow::kPaneSolutionMode), "Solution Mode: Precision");
    EXPECT_EQ(Pane(MainWindow::kPaneDualMode), "Dual Mode: On");
    EXPECT_TRUE(m_frame->Action(kCmdPrecision)->isChecked());
    EXPECT_FALSE(m_frame->Action(kCmdIntegrity)->isChecked());
    EXPECT_EQ(DisplayData(), before);

    // Yes clears every display.
    Answers yes(QMessageBox::Yes);
    ASSERT_TRUE(Trigger(kCmdIntegrity));
    m_frame->UpdateCommandUI();
    EXPECT_EQ(Pane(MainWindow::kPaneSolutionMode), "Solution Mode: Integrity");
    EXPECT_EQ(DisplayData(), std::make_tuple(size_t(0), uint64_t(0), uint32_t(0)));
    EXPECT_TRUE(m_frame->Action(kCmdIntegrity)->isChecked());
}

TEST_F(Commands, DualModeSwitchWithoutSavedModeCentresOnTheUser)
{
    g_parser.m_dualMode = 1;
    m_frame->UpdateCommandUI();
    ASSERT_EQ(Scatter()->Model().CenterMode(), 2) << "the start-up default";
    Answers yes(QMessageBox::Yes);
    ASSERT_TRUE(Trigger(kCmdPrecision));
    EXPECT_EQ(Scatter()->Model().CenterMode(), 0);
    EXPECT_EQ(Scatter()->Model().RecenterPending(), 1);
    EXPECT_EQ(CheckedCentreMode(), 2) << "the menu marks the default of its own reading";
    EXPECT_FALSE(OpenAppSettings()->contains("Settings/Scatter Plot Mode"));
}

TEST_F(Commands, ClearPlotCentresOnTheNextSampleAndTheMenuKeepsTheSavedMode)
{
    const int commandOf[] = {kCmdCenterUserPosition, kCmdCenterOnAverage, kCmdCenterNextSample};
    for (int saved : {0, 1, 2}) {
        ASSERT_TRUE(Trigger(commandOf[saved]));
        EXPECT_EQ(ReadScatterPlotMode(-1), saved);
        EXPECT_EQ(Scatter()->Model().CenterMode(), saved);
        FeedFixes();
        ASSERT_GT(Scatter()->Model().Samples().size(), 0u);

        Answers yes(QMessageBox::Yes);
        ASSERT_TRUE(Trigger(kCmdClearScatterPlot));
        EXPECT_EQ(yes.texts, QStringList{"This will clear the scatter plot. However, the averages will not be "
                                         "affected. Do you want to continue with this?"});
        EXPECT_TRUE(Scatter()->Model().Samples().empty());
        EXPECT_GT(PositionPlot()->Statistics().SampleCount(), 0u) << "the averages stay";
        EXPECT_EQ(Scatter()->Model().CenterMode(), 2);
        EXPECT_EQ(ReadScatterPlotMode(-1), saved);
        EXPECT_EQ(CheckedCentreMode(), saved);
    }
}

TEST_F(Commands, CentringMarksFollowTheSettingWhenTheMenuOpens)
{
    EXPECT_EQ(CheckedCentreMode(), 2);
    ASSERT_TRUE(WriteScatterPlotMode(1));  // as another copy of the program would
    EXPECT_EQ(CheckedCentreMode(), 1);
    EXPECT_EQ(Scatter()->Model().CenterMode(), 2) << "the page keeps its own mode";
}

TEST_F(Commands, ClearPositionPlotsAsksFirst)
{
    FeedFixes();
    {
        Answers no(QMessageBox::No);
        ASSERT_TRUE(Trigger(kCmdClearPositionPlots));
        EXPECT_EQ(no.texts, QStringList{"Clearing the position plots will also clear the averages. Do you want to "
                                        "continue with this?"});
    }
    EXPECT_EQ(PositionPlot()->Statistics().SampleCount(), 3u);
    Answers yes(QMessageBox::Yes);
    ASSERT_TRUE(Trigger(kCmdClearPositionPlots));
    EXPECT_EQ(PositionPlot()->Statistics().SampleCount(), 0u);
    EXPECT_EQ(Scatter()->Model().Samples().size(), 3u) << "only the position plots";
}

TEST_F(Commands, LookIsWrittenAndUsedAtTheNextStart)
{
    EXPECT_EQ(m_frame->AppLook(), kLookOffice2007Black) << "first start";
    EXPECT_EQ(ReadApplicationLook(), kLookOffice2007Black) << "written at start-up";
    ASSERT_TRUE(Trigger(kLookOffice2007Blue));
    EXPECT_EQ(ReadApplicationLook(), kLookOffice2007Blue);
    EXPECT_EQ(QApplication::palette().color(QPalette::Window), PaletteForLook(kLookOffice2007Blue).color(QPalette::Window));

    Restart();
    EXPECT_EQ(m_frame->AppLook(), kLookOffice2007Blue);
    EXPECT_EQ(CurrentAppLook(), kLookOffice2007Blue);
    m_frame->UpdateCommandUI();
    EXPECT_TRUE(m_frame->Action(kLookOffice2007Blue)->isChecked());
    EXPECT_FALSE(m_frame->Action(kLookOffice2007Black)->isChecked());

    // Choosing the look already in use keeps its mark.
    ASSERT_TRUE(Trigger(kLookOffice2007Blue));
    m_frame->UpdateCommandUI();
    EXPECT_TRUE(m_frame->Action(kLookOffice2007Blue)->isChecked());
}

TEST_F(Commands, UnknownLookSelectsOffice2007InItsCurrentStyle)
{
    ASSERT_TRUE(WriteApplicationLook(kLookOffice2007Silver));
    Restart();
    ASSERT_TRUE(WriteApplicationLook(4242));
    Restart();
    EXPECT_EQ(m_frame->AppLook(), 4242);
    EXPECT_EQ(ReadApplicationLook(), 4242) << "written back as it came";
    EXPECT_EQ(QApplication::palette().color(QPalette::Window), PaletteForLook(kLookOffice2007Silver).color(QPalette::Window));
    QColor background, text;
    GetPageColors(background, text);
    EXPECT_EQ(background, QColor(214, 215, 222)) << "the silver page colours";
    m_frame->UpdateCommandUI();
    EXPECT_FALSE(m_frame->Action(kLookOffice2007Blue)->isChecked());
    EXPECT_FALSE(m_frame->Action(kLookOffice2007Black)->isChecked());
}

TEST_F(Commands, CustomiseButtonOfTheStandardToolbar)
{
    auto* button = m_frame->StandardToolBar()->findChild<QToolButton*>("customizeButton");
    ASSERT_NE(button, nullptr);
    ASSERT_NE(button->menu(), nullptr);
    emit button->menu()->aboutToShow();
    EXPECT_EQ(CommandId(button->menu()->actions().last()), 32773);

    // "Add or Remove Buttons": the standard buttons, checked while shown.
    QMenu* addRemove = button->menu()->actions().first()->menu();
    ASSERT_NE(addRemove, nullptr);
    QAction* record = nullptr;
    for (QAction* a : addRemove->actions())
        if (a->text() == QLatin1String("Record Data"))
            record = a;
    ASSERT_NE(record, nullptr);
    EXPECT_TRUE(record->isChecked());
    record->trigger();
    EXPECT_EQ(ButtonIds(m_frame->StandardToolBar()), std::vector<int>({32788, 0, 32794, 32793, 0, 57664}));
    emit button->menu()->aboutToShow();
    addRemove = button->menu()->actions().first()->menu();
    for (QAction* a : addRemove->actions())
        if (a->text() == QLatin1String("Record Data")) {
            EXPECT_FALSE(a->isChecked());
            a->trigger();
        }
    EXPECT_EQ(ButtonIds(m_frame->StandardToolBar()), kStandardButtons) << "back in its place";

    ASSERT_TRUE(Trigger(kCmdViewCustomize));
    CustomizeDlg* dialog = m_frame->Toolbars()->CustomizeDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->isModal());
    ASSERT_TRUE(Trigger(kCmdViewCustomize));
    EXPECT_EQ(m_frame->Toolbars()->CustomizeDialog(), dialog) << "one dialog at a time";
}

TEST_F(Commands, ToolbarLayoutSurvivesARestart)
{
    ASSERT_TRUE(Trigger(kCmdViewCustomize));
    QPointer<CustomizeDlg> dialog = m_frame->Toolbars()->CustomizeDialog();
    ASSERT_NE(dialog, nullptr);
    auto list = [&](const char* name) { return dialog->findChild<QListWidget*>(name); };
    auto click = [&](const char* name) {
        auto* b = dialog->findChild<QPushButton*>(name);
        ASSERT_NE(b, nullptr) << name;
        ASSERT_TRUE(b->isEnabled()) << name;
        b->click();
    };
    auto selectCommand = [&](int id) {
        QListWidget* commands = list("commands");
        for (int row = 0; row < commands->count(); ++row)
            if (commands->item(row)->data(Qt::UserRole).toInt() == id)
                commands->setCurrentRow(row);
        ASSERT_EQ(commands->currentItem()->data(Qt::UserRole).toInt(), id);
    };

    // The standard toolbar loses its About button.
    dialog->SelectToolbar(kStandardToolbarId);
    list("buttons")->setCurrentRow(6);
    click("removeButton");

    // A user toolbar, named in the prompt, with two settings commands swapped.
    {
        ModalDriver name([](QWidget* modal) {
            auto* input = qobject_cast<QInputDialog*>(modal);
            ASSERT_NE(input, nullptr);
            EXPECT_EQ(input->textValue(), "Custom 1");
            input->setTextValue("Settings tools");
            input->accept();
        });
        click("newToolbar");
    }
    ASSERT_EQ(dialog->CurrentToolbarId(), kFirstUserToolbarId);
    selectCommand(32824);
    click("addCommand");
    selectCommand(32826);
    click("addCommand");
    click("moveUp");
    click("addSeparator");
    selectCommand(57664);
    click("addCommand");
    QToolBar* user = m_frame->Toolbars()->Toolbar(kFirstUserToolbarId);
    ASSERT_NE(user, nullptr);
    EXPECT_EQ(user->objectName(), "UserToolbar1");
    EXPECT_EQ(ButtonIds(user), std::vector<int>({32826, 0, 57664, 32824}));
    m_frame->addToolBar(Qt::BottomToolBarArea, user);
    m_frame->resize(900, 600);
    m_frame->show();
    dialog->show();
    QApplication::processEvents();
    SaveTestPicture(*dialog, "customize_dlg");
    SaveTestPicture(*m_frame, "window_user_toolbar");
    dialog->close();
    EXPECT_TRUE(WaitFor([&] { return dialog.isNull(); }));

    Restart();
    EXPECT_EQ(ButtonIds(m_frame->StandardToolBar()), std::vector<int>({32788, 0, 32791, 32794, 32793, 0}));
    user = m_frame->findChild<QToolBar*>("UserToolbar1");
    ASSERT_NE(user, nullptr);
    EXPECT_EQ(user->windowTitle(), "Settings tools");
    EXPECT_EQ(ButtonIds(user), std::vector<int>({32826, 0, 57664, 32824}));
    EXPECT_EQ(m_frame->toolBarArea(user), Qt::BottomToolBarArea) << "placed by the restored window state";
    EXPECT_NE(user->findChild<QToolButton*>("customizeButton"), nullptr);
    const std::unique_ptr<QMenu> panes(m_frame->createPopupMenu());
    QStringList titles;
    for (QAction* a : panes->actions())
        titles << a->text();
    EXPECT_TRUE(titles.contains("Settings tools"));

    // Reset gives the standard toolbar its buttons back.
    ASSERT_TRUE(m_frame->Toolbars()->ResetToolbar(kStandardToolbarId));
    EXPECT_EQ(ButtonIds(m_frame->StandardToolBar()), kStandardButtons);
}

TEST_F(Commands, TenUserToolbarsAtMostAndDeletingOneAsksFirst)
{
    ToolbarCustomization* toolbars = m_frame->Toolbars();
    for (int i = 0; i < kMaxUserToolbars; ++i)
        ASSERT_TRUE(toolbars->CreateUserToolbar().has_value());
    EXPECT_FALSE(toolbars->CreateUserToolbar().has_value());
    EXPECT_NE(m_frame->findChild<QToolBar*>("UserToolbar10"), nullptr);

    CustomizeDlg* dialog = toolbars->ShowCustomizeDialog();
    auto* newToolbar = dialog->findChild<QPushButton*>("newToolbar");
    EXPECT_FALSE(newToolbar->isEnabled());
    dialog->SelectToolbar(kFirstUserToolbarId + 2);
    {
        Answers no(QMessageBox::No);
        dialog->findChild<QPushButton*>("deleteToolbar")->click();
        EXPECT_EQ(no.texts, QStringList{"Delete the toolbar \"Custom 3\"?"});
    }
    EXPECT_NE(toolbars->Toolbar(kFirstUserToolbarId + 2), nullptr);
    {
        Answers yes(QMessageBox::Yes);
        dialog->findChild<QPushButton*>("deleteToolbar")->click();
    }
    EXPECT_EQ(toolbars->Toolbar(kFirstUserToolbarId + 2), nullptr);
    EXPECT_TRUE(newToolbar->isEnabled());
    dialog->SelectToolbar(kStandardToolbarId);
    EXPECT_FALSE(dialog->findChild<QPushButton*>("deleteToolbar")->isEnabled()) << "the standard toolbar stays";

    Restart();
    EXPECT_EQ(m_frame->Toolbars()->Layout().UserToolbarCount(), 9);
    EXPECT_EQ(m_frame->findChild<QToolBar*>("UserToolbar3"), nullptr);
}

TEST_F(Commands, UpdateAlertOnlyForANewerVersion)
{
    auto alerts = [&] { return m_frame->findChildren<UpdateAlertWnd*>(); };
    // From another thread, as a version checker would: sent (waiting for
    // the window) and posted.
    auto deliver = [&](int version, Qt::ConnectionType type) {
        std::atomic<bool> done{false};
        std::thread sender([&] {
            QMetaObject::invokeMethod(m_frame.get(), "OnUpdateAvailable", type, Q_ARG(int, version));
            done = true;
        });
        EXPECT_TRUE(WaitFor([&] { return done.load(); }));
        sender.join();
    };
    deliver(11, Qt::BlockingQueuedConnection);
    EXPECT_EQ(m_frame->LatestVersion(), 11);
    QApplication::processEvents();
    EXPECT_TRUE(alerts().isEmpty());

    deliver(12, Qt::QueuedConnection);
    ASSERT_TRUE(WaitFor([&] { return alerts().size() == 1; }));
    QPointer<UpdateAlertWnd> alert = alerts().front();
    EXPECT_EQ(m_frame->LatestVersion(), 12);
    EXPECT_TRUE(alert->isVisible());
    EXPECT_EQ(alert->AutoCloseMs(), 15000);
    const QRect area = m_frame->screen()->availableGeometry();
    EXPECT_TRUE(WaitFor([&] { return alert->geometry().bottomRight() == area.bottomRight(); }))
        << "slides into the bottom right corner";

    UrlCatcher browser;
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &browser, "Open");
    auto* link = alert->findChild<QLabel*>("alertLink");
    ASSERT_NE(link, nullptr);
    emit link->linkActivated(QStringLiteral("download"));
    EXPECT_EQ(browser.m_urls, QList<QUrl>{DownloadPageUrl()});
    EXPECT_TRUE(WaitFor([&] { return alert.isNull(); })) << "the link closes the alert";
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));

    // Sent directly this time; without a click the alert goes by itself.
    m_frame->OnUpdateAvailable(13);
    ASSERT_EQ(alerts().size(), 1);
    alert = alerts().front();
    alert->SetAutoCloseMs(150);
    EXPECT_TRUE(WaitFor([&] { return alert.isNull(); }));

    m_frame->OnUpdateAvailable(-1);
    EXPECT_EQ(m_frame->LatestVersion(), -1);
    EXPECT_TRUE(alerts().isEmpty());
}

// The whole window with a recording played back, in the two looks the menu
// offers: build/<preset>/test-output/app/window-<look>.png.
TEST_F(Commands, WindowInBlueAndBlackWithData)
{
    m_frame->resize(1100, 760);
    m_frame->show();
    ASSERT_TRUE(m_frame->StartPlayback(QStringLiteral(STELMAP_SOURCE_DIR "/data/demo.nmea")));
    g_sio.Pacer().SetSpeed(PlaybackPacer::kAsFastAsPossible, 0);  // not at the recording's 1 Hz
    ASSERT_TRUE(WaitFor([&] { return PositionPlot()->Statistics().SampleCount() >= 100; }, 10000));
    m_frame->Stop();

    for (auto [look, name] : {std::pair{kLookOffice2007Blue, "blue"}, std::pair{kLookOffice2007Black, "black"}}) {
        ASSERT_TRUE(Trigger(look));
        const bool dark = look == kLookOffice2007Black;
        for (int tab : {0, 1, 2}) {
            m_frame->View()->Tabs()->setCurrentIndex(tab);
            QApplication::processEvents();
            const QImage window = m_frame->grab().toImage();
            const QString path = QStringLiteral(STELMAP_BINARY_DIR "/test-output/app/window-%1-%2.png").arg(name).arg(tab + 1);
            QDir().mkpath(QFileInfo(path).path());
            ASSERT_TRUE(window.save(path)) << path.toStdString();
            // The bars follow the look: light blue, or dark grey.
            const QWidget* bar = m_frame->statusBar();
            const QColor status = window.pixelColor(bar->x() + 2, bar->y() + 3);
            EXPECT_EQ(status.lightness() < 110, dark) << name << " " << status.name().toStdString();
            EXPECT_EQ(status.blue() > status.red() + 30, !dark) << name << " " << status.name().toStdString();
        }
    }
}

}  // namespace

