#include "app/main_window.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <cerrno>
#include <cstring>

#include "analysis/position_plot_wnd.h"
#include "app/about_dlg.h"
#include "app/app_look.h"
#include "app/app_pictures.h"
#include "app/app_settings.h"
#include "app/page_tabs.h"
#include "app/connect_dlg.h"
#include "app/dop_threshold_dlg.h"
#include "app/update_alert_wnd.h"
#include "app/number_format.h"
#include "app/set_position_dlg.h"
#include "app/status_bar_messages.h"
#include "app/status_pane.h"
#include "app/toolbar_customization.h"
#include "console/nmea_monitor_wnd.h"
#include "console/receiver_cfg_wnd.h"
#include "console/log_edit_ctrl.h"
#include "kit/page_look.h"
#include "kit/command_actions.h"
#include "displays/front_panel_status_wnd.h"
#include "displays/scatter_plot_wnd.h"
#include "link/link_objects.h"
#include "link/link_threads.h"
#include "link/queued_link_observer.h"
#include "link/serial_port_enumeration.h"
#include "link/serial_port.h"

namespace {

constexpr int kLampMs = 200;
constexpr int kDrainMs = 100;

DisplaySnapshot CopySnapshot()
{
    std::lock_guard lock(g_dataLock);
    return g_displaySnapshot;
}

QString Text(const std::string& s) { return QString::fromStdString(s); }

// Texts of the commands the frame's menus and toolbar show.
const CommandText kMenuCommands[] = {
    {CMainFrame::ID_APP_EXIT, "E&xit", "Quits the application\nExit"},
    {CMainFrame::ID_EDIT_UNDO, "&Undo\tCtrl+Z", "Undoes the last action\nUndo"},
    {CMainFrame::ID_EDIT_CUT, "Cu&t\tCtrl+X", "Cuts the selection and puts it on the clipboard\nCut"},
    {CMainFrame::ID_EDIT_COPY, "&Copy\tCtrl+C", "Copies the selection and puts it on the clipboard\nCopy"},
    {CMainFrame::ID_EDIT_PASTE, "&Paste\tCtrl+V", "Inserts clipboard contents\nPaste"},
    {CMainFrame::ID_NEXT_PANE, "Next Pane", "Switches to the next page\nNext Pane"},
    {CMainFrame::ID_PREV_PANE, "Previous Pane", "Switches back to the previous page\nPrevious Pane"},
    {CMainFrame::ID_VIEW_STATUS_BAR, "&Status Bar", "Shows or hides the status bar\nToggle Status Bar"},
    {CMainFrame::ID_APP_ABOUT, "&About Stelmap...", "Displays program information, version number and copyright\nAbout"},
    {CMainFrame::ID_CONNECT, "&Connect to GPS...",
     "Prompts the user to select a serial port to connect to a specific GPS device\nConnect to GPS"},
    {CMainFrame::ID_RECORD, "&Record Data...", "Records NMEA data to a specified file\nRecord Data"},
    {CMainFrame::ID_PLAY_BACK, "&Play Back Data...", "Play back previously recorded NMEA data\nPlay Back Data"},
    {CMainFrame::ID_STOP, "&Stop", "Stops play back or recording\nStop"},
    {CMainFrame::ID_SET_DOP_THRESHOLD, "&Set DOP Threshold...",
     "Sets the system Dilution of Precision threshold used for accepting data points\nDilution of Precision"},
    {CMainFrame::ID_SET_USER_POSITION, "Set &User Position...", "Sets the user known position\nSets User Position"},
    {CMainFrame::ID_CLEAR_POSITION_PLOTS, "&Clear plots", "Clears and resets the position plots data\nClear Plot Data"},
    {CMainFrame::ID_PRECISION, "Precision", ""},
    {CMainFrame::ID_INTEGRITY, "Integrity", ""},
    {kLookOffice2007Blue, "&Blue Style", ""},
    {kLookOffice2007Black, "B&lack Style", ""},
};

}  // namespace

bool CSioSentenceLink::IsOpen() const { return m_sio.IsOpen(); }
bool CSioSentenceLink::IsPlayback() const { return m_sio.IsPlayback(); }
long CSioSentenceLink::Write(const void* data, size_t size) { return m_sio.Write(data, size); }

CMainFrame::CMainFrame(const StartupOptions& options, QWidget* parent)
    : QMainWindow(parent)
    , m_commands(ApplicationCommands())
    , m_sentenceLink(g_sio)
    , m_sender(&m_sentenceLink)
{
    setWindowTitle(QString::fromUtf8(kAppTitle));
    setWindowIcon(QIcon(pictures::kAppIcon256));
    setObjectName(QStringLiteral("CMainFrame"));

    // The saved look first, so that everything below is built in it.
    m_nAppLook = ReadApplicationLook();
    OnApplicationLook(m_nAppLook);

    CreateActions();
    m_wndView = new CChildView(m_commands, this);
    setCentralWidget(m_wndView);
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();

    m_sender.SetActivityNotice([this] {
        QMetaObject::invokeMethod(this, &CMainFrame::OnTxActivity, Qt::QueuedConnection);
    });
    m_sender.SetTransmitLog([this](std::string_view bytes) { m_wndView->m_wndNmeaMonitor->AppendTransmitted(bytes); });
    m_wndView->m_wndNmeaMonitor->SetSentenceSender(&m_sender);
    m_wndView->m_wndReceiverCfg->SetSentenceSender(&m_sender);
    m_wndView->m_wndFrontPanel->SetSnapshotSource(&CopySnapshot);

    // The link's threads report through queued calls on this window.
    m_observer = std::make_unique<QueuedLinkObserver>(
        this, QueuedLinkObserver::Handlers{[this] { OnPositionUpdate(); }, [this] { OnRxActivity(); },
                                           [this] { OnReceiverLost(); }});
    m_linkThreads = std::make_unique<LinkThreads>(GlobalLinkObjects(), *m_observer);
    m_linkThreads->Start();  // a thread that cannot start leaves the link silent
    CloseLink();
    ResetReceiverState();

    if (options.connect) {
        ConnectTo(options.connect->port, options.connect->baud > 0 ? options.connect->baud : ReadBaud());
    } else {
        const CommPort port = ReadCommPort();
        const int baud = ReadBaud();
        m_integrityDevice = CommPortDevice(port);
        if (port.IsPath())
            g_sio.OpenPort(port.path, baud);
        else
            g_sio.OpenPort(port.number, baud);  // a failure at start-up is silent
    }

    m_drainTimer.setInterval(kDrainMs);
    connect(&m_drainTimer, &QTimer::timeout, this, &CMainFrame::DrainReceivedText);
    m_drainTimer.start();
    m_rxTimer.setSingleShot(true);
    m_rxTimer.setInterval(kLampMs);
    connect(&m_rxTimer, &QTimer::timeout, this, [this] { SetLamp(m_rxLamp, false, true); });
    m_txTimer.setSingleShot(true);
    m_txTimer.setInterval(kLampMs);
    connect(&m_txTimer, &QTimer::timeout, this, [this] { SetLamp(m_txLamp, false, false); });

    if (const std::optional<double> threshold = ReadDopThreshold())
        m_wndView->m_wndScatterPlot->SetDopThreshold(DopThresholdHundredths(*threshold));
    m_savedScatterMode = ReadScatterPlotMode(2);
    m_wndView->m_wndScatterPlot->SetCenterMode(m_savedScatterMode);
    LoadUserPosition(false);

    SendSentence(kConfigurationQuery, false);

    // The command-update pass: actions and panes follow the state whenever
    // the event loop is about to wait.
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &CMainFrame::UpdateCommandUI);
    UpdateCommandUI();

    const QByteArray geometry = ReadWindowGeometry();
    if (geometry.isEmpty() || !restoreGeometry(geometry))
        resize(1100, 760);
    restoreState(ReadWindowState());
}

CMainFrame::~CMainFrame()
{
    StopLinkThreads();
    if (m_recordFile != nullptr)
        std::fclose(m_recordFile);
}

void CMainFrame::StopLinkThreads()
{
    // Releases a position update that waits for this thread, then joins.
    if (m_linkThreads)
        m_linkThreads->Stop();
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    WriteWindowGeometry(saveGeometry());
    WriteToolbarLayout(m_toolbars->Layout());
    WriteWindowState(saveState());
    StopLinkThreads();
    QMainWindow::closeEvent(event);
}

// ---------------------------------------------------------------- commands

void CMainFrame::CreateActions()
{
    for (const CommandText& c : kMenuCommands)
        m_commands.Describe(c);
    auto on = [this](int id, auto slot) { connect(Action(id), &QAction::triggered, this, slot); };
    on(ID_APP_EXIT, [this] { close(); });
    on(ID_EDIT_UNDO, [this] { ForwardEditCommand("undo"); });
    on(ID_EDIT_CUT, [this] { ForwardEditCommand("cut"); });
    on(ID_EDIT_COPY, [this] { ForwardEditCommand("copy"); });
    on(ID_EDIT_PASTE, [this] { ForwardEditCommand("paste"); });
    on(ID_NEXT_PANE, [this] { StepPage(1); });
    on(ID_PREV_PANE, [this] { StepPage(-1); });
    on(ID_APP_ABOUT, [this] { OnAbout(); });
    on(ID_CONNECT, [this] { OnConnect(); });
    on(ID_RECORD, [this] { OnRecord(); });
    on(ID_PLAY_BACK, [this] { OnPlayBack(); });
    on(ID_STOP, [this] { OnStop(); });
    on(ID_SET_DOP_THRESHOLD, [this] { OnSetDopThreshold(); });
    on(ID_SET_USER_POSITION, [this] { OnSetUserPosition(); });
    on(ID_PRECISION, [this] { OnSolutionMode(CNMEAParserWin32::Precision); });
    on(ID_INTEGRITY, [this] { OnSolutionMode(CNMEAParserWin32::Integrity); });
    on(ID_CENTER_USER_POSITION, [this] { OnCenterMode(0); });
    on(ID_CENTER_AVERAGE, [this] { OnCenterMode(1); });
    on(ID_CENTER_NEXT_SAMPLE, [this] { OnCenterMode(2); });
    on(ID_CLEAR_SCATTER_PLOT, [this] { OnClearScatterPlot(); });
    on(ID_CLEAR_POSITION_PLOTS, [this] { OnClearPositionPlots(); });
    on(ID_CLEAR_TRAILS, [this] { m_wndView->m_wndFrontPanel->ClearSatelliteTrails(); });
    on(ID_CLEAR_MASK, [this] { m_wndView->m_wndFrontPanel->ClearAzElMask(); });
    on(kLookOffice2007Blue, [this] { OnApplicationLook(kLookOffice2007Blue); });
    on(kLookOffice2007Black, [this] { OnApplicationLook(kLookOffice2007Black); });

    for (int id : {int(ID_RECORD), int(ID_PRECISION), int(ID_INTEGRITY), int(ID_CENTER_AVERAGE),
                   int(ID_CENTER_NEXT_SAMPLE), int(ID_CENTER_USER_POSITION), int(kLookOffice2007Blue),
                   int(kLookOffice2007Black), int(ID_VIEW_STATUS_BAR)})
        Action(id)->setCheckable(true);
    // Radio marks; "optional" because an unlisted look marks neither item.
    // The groups live with the actions, as long as the application.
    for (auto [first, second] : {std::pair{int(ID_PRECISION), int(ID_INTEGRITY)},
                                 std::pair{int(kLookOffice2007Blue), int(kLookOffice2007Black)}}) {
        if (Action(first)->actionGroup() != nullptr)
            continue;
        auto* group = new QActionGroup(&m_commands);
        group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
        group->addAction(Action(first));
        group->addAction(Action(second));
    }

    // Accelerators; the edit commands act on the focused control.
    Action(ID_EDIT_COPY)->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)});
    Action(ID_EDIT_PASTE)->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)});
    Action(ID_EDIT_CUT)->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)});
    Action(ID_EDIT_UNDO)->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)});
    Action(ID_NEXT_PANE)->setShortcut(QKeySequence(Qt::Key_F6));
    Action(ID_PREV_PANE)->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6));
    for (int id : {int(ID_EDIT_COPY), int(ID_EDIT_PASTE), int(ID_EDIT_CUT), int(ID_EDIT_UNDO), int(ID_NEXT_PANE),
                   int(ID_PREV_PANE)}) {
        Action(id)->setShortcutContext(Qt::WindowShortcut);
        addAction(Action(id));
    }
}

void CMainFrame::CreateMenus()
{
    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->addAction(Action(ID_APP_EXIT));

    QMenu* edit = bar->addMenu(QStringLiteral("&Edit"));
    edit->addAction(Action(ID_EDIT_UNDO));
    edit->addSeparator();
    edit->addAction(Action(ID_EDIT_CUT));
    edit->addAction(Action(ID_EDIT_COPY));
    edit->addAction(Action(ID_EDIT_PASTE));

    QMenu* view = bar->addMenu(QStringLiteral("&View"));
    QMenu* panes = view->addMenu(QStringLiteral("&Toolbars and Docking Windows"));
    connect(panes, &QMenu::aboutToShow, this, [this, panes] {
        panes->clear();
        qDeleteAll(panes->findChildren<QMenu*>(Qt::FindDirectChildrenOnly));  // the previous list
        if (QMenu* list = createPopupMenu()) {
            for (QAction* a : list->actions())
                panes->addAction(a);
            list->setParent(panes);
        }
    });
    view->addAction(Action(ID_VIEW_STATUS_BAR));
    connect(Action(ID_VIEW_STATUS_BAR), &QAction::toggled, this, [this](bool on) { statusBar()->setVisible(on); });
    QMenu* looks = view->addMenu(QStringLiteral("&Application Look"));
    looks->addAction(Action(kLookOffice2007Blue));
    looks->addAction(Action(kLookOffice2007Black));

    QMenu* tools = bar->addMenu(QStringLiteral("&Tools"));
    tools->addAction(Action(ID_CONNECT));
    QMenu* recordPlay = tools->addMenu(QStringLiteral("Record/Play"));
    recordPlay->addAction(Action(ID_PLAY_BACK));
    recordPlay->addAction(Action(ID_RECORD));
    recordPlay->addAction(Action(ID_STOP));
    QMenu* settings = tools->addMenu(QStringLiteral("Settings"));
    settings->addAction(Action(ID_SET_DOP_THRESHOLD));
    settings->addAction(Action(ID_SET_USER_POSITION));
    tools->addSeparator();
    QMenu* dual = tools->addMenu(QStringLiteral("Dual Mode Filter"));
    dual->addAction(Action(ID_PRECISION));
    dual->addAction(Action(ID_INTEGRITY));

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    help->addAction(Action(ID_APP_ABOUT));

    // Menus show the state of the moment, not of the last idle pass.
    for (QMenu* menu : {file, edit, view, looks, tools, recordPlay, settings, dual, help})
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::BeforeMenuShows);
    QPointer<CMainFrame> frame(this);
    m_commands.SetBeforePopupMenuShows([frame] {
        if (frame)
            frame->BeforeMenuShows();
    });
}

void CMainFrame::BeforeMenuShows()
{
    // The centring marks follow the saved mode, read as the menu opens.
    m_savedScatterMode = ReadScatterPlotMode(2);
    UpdateCommandUI();
}

QMenu* CMainFrame::createPopupMenu()
{
    QMenu* menu = QMainWindow::createPopupMenu();
    if (m_toolbars != nullptr)
        m_toolbars->AddCustomizeEntry(menu);
    return menu;
}

void CMainFrame::CreateToolBar()
{
    m_wndToolBar = addToolBar(QStringLiteral("Standard"));
    m_wndToolBar->setObjectName(QStringLiteral("Standard"));
    m_wndToolBar->setIconSize(QSize(32, 32));
    m_wndToolBar->setMovable(true);
    m_wndToolBar->setFloatable(true);
    Action(ID_CONNECT)->setIcon(QIcon(pictures::kToolConnect));
    Action(ID_RECORD)->setIcon(QIcon(pictures::kToolRecord));
    Action(ID_STOP)->setIcon(QIcon(pictures::kToolStop));
    Action(ID_PLAY_BACK)->setIcon(QIcon(pictures::kToolPlayBack));
    Action(ID_APP_ABOUT)->setIcon(QIcon(pictures::kToolAbout));
    m_wndToolBar->addAction(Action(ID_CONNECT));
    m_wndToolBar->addSeparator();
    m_wndToolBar->addAction(Action(ID_RECORD));
    m_wndToolBar->addAction(Action(ID_STOP));
    m_wndToolBar->addAction(Action(ID_PLAY_BACK));
    m_wndToolBar->addSeparator();
    m_wndToolBar->addAction(Action(ID_APP_ABOUT));

    // The user's arrangement, before the window state places the toolbars.
    m_toolbars = new ToolbarCustomization(*this, m_commands, m_wndToolBar);
    m_toolbars->Restore(ReadToolbarLayout());
}

void CMainFrame::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->showMessage(QStringLiteral("Ready"));
    // Panes as wide as their padded text, giving way to `least` in a narrow window.
    const auto pane = [&](int index, const QString& initial, const QString& least) {
        auto* label = new CStatusPane(initial, initial, least, bar);
        label->setObjectName(QStringLiteral("pane%1").arg(index));
        m_panes[index] = label;
        bar->addPermanentWidget(label);
        return label;
    };
    pane(kPaneQuality, QStringLiteral("GPS Quality:") + QString(46, QLatin1Char(' ')), QStringLiteral("GPS Quality:"));
    pane(kPaneRecord, QStringLiteral("Record Data OFF") + QString(10, QLatin1Char(' ')), QStringLiteral("Record…"));

    const auto lamp = [&](int index, const QString& text, const QString& tip, QLabel*& icon) {
        auto* box = new QWidget(bar);
        auto* layout = new QHBoxLayout(box);
        layout->setContentsMargins(2, 0, 2, 0);
        layout->setSpacing(3);
        icon = new QLabel(box);
        icon->setObjectName(QStringLiteral("lamp%1").arg(index));
        auto* label = new QLabel(text, box);
        label->setObjectName(QStringLiteral("pane%1").arg(index));
        layout->addWidget(icon);
        layout->addWidget(label);
        box->setToolTip(tip);
        m_panes[index] = label;
        bar->addPermanentWidget(box);
    };
    lamp(kPaneRx, QStringLiteral("Rx"), QStringLiteral("Shows that data is being received"), m_rxLamp);
    lamp(kPaneTx, QStringLiteral("Tx"), QStringLiteral("Shows that data is being transmitted"), m_txLamp);
    SetLamp(m_rxLamp, false, true);
    SetLamp(m_txLamp, false, false);
    pane(kPaneCaps, QStringLiteral("CAP"), QStringLiteral("CAP"));
    m_panes[kPaneCaps]->setEnabled(false);  // no portable way to read Caps Lock
    pane(kPaneDualMode, QStringLiteral("Dual Mode:") + QString(9, QLatin1Char(' ')), QStringLiteral("Dual Mode…"));
    pane(kPaneSolutionMode, QStringLiteral("Solution Mode:") + QString(17, QLatin1Char(' ')), QStringLiteral("Solution…"));
    Action(ID_VIEW_STATUS_BAR)->setChecked(true);
    new StatusBarMessages(*this);
}

QAction* CMainFrame::Action(int id) const { return m_commands.ActionFor(id); }

QLabel* CMainFrame::PaneLabel(int index) const
{
    return index > 0 && index < kPaneCount ? m_panes[index] : nullptr;
}

void CMainFrame::SetPaneText(int index, const QString& text, bool enabled)
{
    QLabel* label = m_panes[index];
    if (label->text() != text)
        label->setText(text);
    if (label->isEnabled() != enabled)
        label->setEnabled(enabled);
}

void CMainFrame::UpdateCommandUI()
{
    const bool playback = g_sio.IsPlayback();
    const bool recording = IsRecording();
    const bool dual = g_parser.m_dualMode.load() == 1;
    const int solution = g_parser.m_solutionMode.load();

    Action(ID_CONNECT)->setEnabled(!(g_sio.IsOpen() && playback));
    Action(ID_RECORD)->setEnabled(!recording);
    Action(ID_RECORD)->setChecked(recording);
    Action(ID_PLAY_BACK)->setEnabled(!playback);
    Action(ID_STOP)->setEnabled(playback || recording);
    Action(ID_PRECISION)->setEnabled(dual);
    Action(ID_PRECISION)->setChecked(solution == CNMEAParserWin32::Precision);
    Action(ID_INTEGRITY)->setEnabled(dual);
    Action(ID_INTEGRITY)->setChecked(solution == CNMEAParserWin32::Integrity);
    Action(ID_CENTER_USER_POSITION)->setChecked(m_savedScatterMode == 0);
    Action(ID_CENTER_AVERAGE)->setChecked(m_savedScatterMode == 1);
    Action(ID_CENTER_NEXT_SAMPLE)->setChecked(m_savedScatterMode == 2);
    Action(kLookOffice2007Blue)->setChecked(m_nAppLook == kLookOffice2007Blue);
    Action(kLookOffice2007Black)->setChecked(m_nAppLook == kLookOffice2007Black);

    std::array<char, 256> quality;
    {
        std::lock_guard lock(g_dataLock);
        quality = g_displaySnapshot.fixQualityText;
    }
    quality.back() = '\0';
    SetPaneText(kPaneQuality, Text(QualityPaneText(quality.data())));
    SetPaneText(kPaneRecord, Text(RecordPaneText(recording, m_recordedBytes)), recording);
    SetPaneText(kPaneDualMode, Text(DualModePaneText(dual)), dual);
    SetPaneText(kPaneSolutionMode, Text(SolutionModePaneText(solution)));
}

void CMainFrame::ForwardEditCommand(const char* slot)
{
    QWidget* focus = QApplication::focusWidget();
    if (focus != nullptr && focus->metaObject()->indexOfMethod(QMetaObject::normalizedSignature(
                                (std::string(slot) + "()").c_str())) >= 0)
        QMetaObject::invokeMethod(focus, slot);
}

void CMainFrame::StepPage(int step)
{
    QTabWidget* tabs = m_wndView->m_wndTabs;
    const int n = tabs->count();
    tabs->setCurrentIndex((tabs->currentIndex() + step + n) % n);
}

// ---------------------------------------------------------------- link

void CMainFrame::SendSentence(const std::string& text, bool addChecksum)
{
    m_sender.SendSentence(text, addChecksum);
}

void CMainFrame::CloseLink()
{
    // No pause afterwards: the link never lets a read or write use a handle
    // that is being closed, so it is safe to reuse at once.
    g_sio.Close();
}

void CMainFrame::ResetReceiverState()
{
    ResetParserData(GlobalLinkObjects(), true);
}

bool CMainFrame::ConnectTo(const std::string& port, int baud, QString* failure)
{
    CloseLink();
    const CommPort commPort = CommPortFromText(port);
    if (CommPortDevice(commPort) != m_integrityDevice) {
        ForgetIntegrity(GlobalLinkObjects());
        m_integrityDevice = CommPortDevice(commPort);
    }
    const bool opened = commPort.IsPath() ? g_sio.OpenPort(commPort.path, baud) : g_sio.OpenPort(commPort.number, baud);
    if (!opened && failure != nullptr)
        *failure = Text(g_sio.LastOpenErrorText());
    if (opened)
        SendSentence(kConfigurationQuery, false);
    ResetReceiverState();
    return opened;
}

void CMainFrame::OnPositionUpdate()
{
    m_wndView->m_wndFrontPanel->UpdateFromSnapshot();
    const DisplaySnapshot fix = CopySnapshot();
    m_wndView->m_wndScatterPlot->AddSample(fix.latitude, fix.longitude, fix.altitude, fix.gpsHdop, fix.gpsVdop);
    CPositionPlotWnd* plot = m_wndView->m_wndPositionPlot;
    plot->OnPositionUpdate(fix.hplCm, fix.hfomCm, fix.latitude, fix.longitude, fix.altitude);
    m_wndView->m_wndScatterPlot->SetAveragePosition(plot->Statistics().AverageLatitude(),
                                                    plot->Statistics().AverageLongitude());
    m_wndView->m_wndScatterPlot->update();
}

void CMainFrame::OnRxActivity()
{
    SetLamp(m_rxLamp, true, true);
    m_rxTimer.start();
    // Until a fix tells us the quality, keep asking for the configuration.
    const DisplaySnapshot snapshot = CopySnapshot();
    if (snapshot.fixQualityText[0] == '\0')
        SendSentence(kConfigurationQuery, false);
}

void CMainFrame::OnTxActivity()
{
    SetLamp(m_txLamp, true, false);
    m_txTimer.start();
}

void CMainFrame::OnReceiverLost()
{
    const QString device = Text(g_sio.DevicePath());
    statusBar()->showMessage(
        QStringLiteral("The receiver on %1 went away; the link is closed. Use Connect to GPS to connect again.")
            .arg(device.isEmpty() ? QStringLiteral("the port") : device));
    UpdateCommandUI();
}

void CMainFrame::SetLamp(QLabel* lamp, bool lit, bool rx)
{
    (rx ? m_rxLit : m_txLit) = lit;
    const char* picture = rx ? (lit ? pictures::kRxLit : pictures::kRxIdle) : (lit ? pictures::kTxLit : pictures::kTxIdle);
    lamp->setPixmap(QPixmap(QString::fromUtf8(picture)));
}

void CMainFrame::DrainReceivedText()
{
    const std::string bytes = DrainRxQueue(GlobalLinkObjects(), kDrainBytesPerTick);
    if (bytes.empty())
        return;
    const std::string shown = ReceivedTextForLog(bytes);
    if (!shown.empty())
        m_wndView->m_wndNmeaMonitor->EditRx()->AppendText(CNMEAMonitorWnd::kReceiveColour, QString::fromLatin1(shown.data(), static_cast<int>(shown.size())));
    if (m_recordFile != nullptr) {
        const size_t written = std::fwrite(bytes.data(), 1, bytes.size(), m_recordFile);
        m_recordedBytes += written;
        if (written != bytes.size() || std::fflush(m_recordFile) != 0)
            StopRecording(QString::fromLocal8Bit(std::strerror(errno)));
    }
}

// ---------------------------------------------------------------- recording and playback

bool CMainFrame::StartRecording(const QString& path)
{
    StopRecording();
    m_recordedBytes = 0;
    m_recordFile = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (m_recordFile == nullptr) {
        QMessageBox::critical(this, windowTitle(), QStringLiteral("Could not create file for recording data to."));
        return false;
    }
    m_recordPath = path;
    UpdateCommandUI();
    return true;
}

void CMainFrame::StopRecording(const QString& failure)
{
    if (m_recordFile == nullptr)
        return;
    // What was received before the stop belongs in the file, even if the
    // timer has not moved it yet.
    if (failure.isEmpty())
        DrainReceivedText();
    if (m_recordFile == nullptr)
        return;  // that write failed and already stopped the recording
    const bool closed = std::fclose(m_recordFile) == 0;
    m_recordFile = nullptr;
    if (!failure.isEmpty() || !closed) {
        // What reached the file stays there; the user learns where it ends.
        QMessageBox::critical(
            this, windowTitle(),
            QStringLiteral("Recording stopped: writing to %1 failed (%2). The %3 bytes recorded before are kept.")
                .arg(m_recordPath, failure.isEmpty() ? QStringLiteral("closing the file failed") : failure)
                .arg(m_recordedBytes));
    }
    UpdateCommandUI();
}

bool CMainFrame::StartPlayback(const QString& path)
{
    CloseLink();
    ForgetIntegrity(GlobalLinkObjects());  // a recording says nothing about the last receiver's integrity
    m_integrityDevice.clear();
    const bool opened = g_sio.OpenPlayback(QFile::encodeName(path).toStdString());
    if (!opened)
        QMessageBox::warning(this, windowTitle(), QStringLiteral("File Error!"), QMessageBox::Ok);
    ResetReceiverState();
    // Only a playback that runs is announced in the title.
    setWindowTitle(opened ? Text(PlaybackTitle(QFile::encodeName(path).toStdString())) : QString::fromUtf8(kAppTitle));
    UpdateCommandUI();
    return opened;
}

void CMainFrame::Stop()
{
    if (g_sio.IsPlayback())
        CloseLink();
    StopRecording();
    setWindowTitle(QString::fromUtf8(kAppTitle));
    UpdateCommandUI();
}

void CMainFrame::OnRecord()
{
    QFileDialog dialog(this, QString(), QStringLiteral("NewNMEAFile"),
                       QStringLiteral("NMEA Data File (*.txt);;All Files (*)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    StartRecording(dialog.selectedFiles().first());
}

void CMainFrame::OnPlayBack()
{
    QFileDialog dialog(this, QString(), QStringLiteral("NewNMEAFile"),
                       QStringLiteral("NMEA Data File (*.txt);;NMEA Data File (*.log);;All Files (*)"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    StartPlayback(dialog.selectedFiles().first());
}

void CMainFrame::OnStop() { Stop(); }

// ---------------------------------------------------------------- dialogs and settings commands

void CMainFrame::OnConnect()
{
    std::vector<std::string> ports, descriptions;
    EnumerateSerialPorts(ports, descriptions);
    SerialPortList list;
    for (size_t i = 0; i < ports.size(); ++i)
        list.emplace_back(Text(ports[i]), Text(descriptions[i]));
    CConnectDlg dialog(ConnectValues{ReadCommPort(), ReadBaud(settings_keys::kConnectDialogBaud)}, list, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const ConnectValues chosen = dialog.Values();
    QString failure;
    if (!ConnectTo(CommPortText(chosen.port), chosen.baud, &failure)) {
        QMessageBox box(QMessageBox::Critical, windowTitle(),
                        QStringLiteral("Unable to connect to specified communication port."), QMessageBox::Ok, this);
        box.setInformativeText(failure);
        box.exec();
        return;
    }
    if (!WriteCommPort(chosen.port) || !WriteBaud(chosen.baud))
        statusBar()->showMessage(QStringLiteral("Connected, but the port could not be saved in the settings."), 5000);
}

void CMainFrame::OnAbout()
{
    CAboutDlg dialog(this);
    dialog.exec();
}

void CMainFrame::OnSetDopThreshold()
{
    const double value = ReadDopThreshold().value_or(3.0);
    CDOPThresholdDlg dialog(DopThresholdValues{Text(FormatDopThreshold(value))}, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const double typed = ParseDopThreshold(dialog.Values().threshold.toStdString());
    if (!WriteDopThreshold(typed))
        QMessageBox::warning(this, windowTitle(), QStringLiteral("The DOP threshold could not be saved in the settings."));
    m_wndView->m_wndScatterPlot->SetDopThreshold(DopThresholdHundredths(ReadDopThreshold().value_or(typed)));
}

void CMainFrame::OnSetUserPosition()
{
    CSetPositionDlg dialog(ReadUserPosition(), this);
    if (dialog.exec() == QDialog::Accepted) {
        if (const std::optional<UserPosition> position = dialog.Values(); position && !WriteUserPosition(*position))
            QMessageBox::warning(this, windowTitle(), QStringLiteral("The user position could not be saved in the settings."));
    }
    LoadUserPosition(true);
}

void CMainFrame::LoadUserPosition(bool invalidate)
{
    const UserPosition position = ReadUserPosition();
    m_wndView->m_wndScatterPlot->SetUserPosition(position.latitude, position.longitude, position.altitude);
    if (invalidate)
        m_wndView->m_wndScatterPlot->update();
    m_wndView->m_wndPositionPlot->SetUserPosition(position.latitude, position.longitude, position.altitude);
    if (invalidate)
        m_wndView->m_wndPositionPlot->update();
}

bool CMainFrame::Ask(const QString& question)
{
    return QMessageBox::warning(this, QString::fromUtf8(kAppTitle), question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}

void CMainFrame::OnSolutionMode(int mode)
{
    g_parser.m_solutionMode = mode;
    UpdateCommandUI();
    if (!Ask(QStringLiteral("This will clear all displays and reset averages. Continue?")))
        return;
    m_wndView->m_wndFrontPanel->ClearSatelliteTrails();
    m_wndView->m_wndFrontPanel->ClearAzElMask();
    m_wndView->m_wndPositionPlot->ClearPlots();
    m_wndView->m_wndScatterPlot->ClearSamples();
    m_wndView->m_wndScatterPlot->SetCenterMode(ReadScatterPlotMode(0));
    m_wndView->m_wndScatterPlot->update();
}

void CMainFrame::OnCenterMode(int mode)
{
    m_wndView->m_wndScatterPlot->SetCenterMode(mode);
    if (WriteScatterPlotMode(mode))
        m_savedScatterMode = mode;
    else
        statusBar()->showMessage(QStringLiteral("The centring mode could not be saved in the settings."), 5000);
    UpdateCommandUI();
}

void CMainFrame::OnClearScatterPlot()
{
    if (!Ask(QStringLiteral("This will clear the scatter plot. However, the averages will not be affected. "
                            "Do you want to continue with this?")))
        return;
    m_wndView->m_wndScatterPlot->ClearSamples();
    m_wndView->m_wndScatterPlot->SetCenterMode(2);
}

void CMainFrame::OnClearPositionPlots()
{
    if (Ask(QStringLiteral("Clearing the position plots will also clear the averages. Do you want to continue with this?")))
        m_wndView->m_wndPositionPlot->ClearPlots();
}

void CMainFrame::OnApplicationLook(int lookId)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_nAppLook = lookId;
    ApplyAppLook(lookId);
    if (m_wndView != nullptr)
        m_wndView->update();
    update();
    WriteApplicationLook(lookId);
    QApplication::restoreOverrideCursor();
}

void CMainFrame::OnUpdateAvailable(int version)
{
    m_latestVersion = version;
    ShowUpdateAlertIfNewer(version, this);
}

QStringList CMainFrame::SaveScreenshots(const QString& dir)
{
    QDir().mkpath(dir);
    QStringList written;
    QTabWidget* tabs = m_wndView->m_wndTabs;
    const int current = tabs->currentIndex();
    for (int i = 0; i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        QApplication::processEvents();
        const QString name = QStringLiteral("%1/%2-%3.png")
                                 .arg(dir)
                                 .arg(i + 1)
                                 .arg(tabs->tabText(i).toLower().replace(QLatin1Char(' '), QLatin1Char('-')));
        if (grab().save(name))
            written << name;
    }
    tabs->setCurrentIndex(current);
    return written;
}
