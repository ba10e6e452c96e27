#include "app/main_window.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QStatusBar>
#include <QToolBar>
#include <cerrno>
#include <cstring>

#include "app/about_dlg.h"
#include "app/accuracy_feature.h"
#include "app/correction_sink.h"
#include "app/ntrip_feature.h"
#include "compare/compare_fix_subscriber.h"
#include "app/app_look.h"
#include "app/app_pictures.h"
#include "app/app_settings.h"
#include "app/page_tabs.h"
#include "app/page_fix_subscribers.h"
#include "app/page_restart.h"
#include "app/replay_bar.h"
#include "app/replay_controller.h"
#include "app/screenshots.h"
#include "app/connect_dlg.h"
#include "app/dop_threshold_dlg.h"
#include "app/update_alert_wnd.h"
#include "app/number_format.h"
#include "app/set_position_dlg.h"
#include "app/status_bar_messages.h"
#include "app/status_pane.h"
#include "app/toolbar_customization.h"
#include "displays/signals_page_wnd.h"
#include "kit/page_look.h"
#include "kit/command_actions.h"
#include "link/link_objects.h"
#include "link/link_threads.h"
#include "link/queued_link_observer.h"
#include "link/serial_port_enumeration.h"
#include "link/serial_port.h"
#include "link/source_text.h"
#include "app/source_control.h"

namespace {

constexpr int kLampMs = 200;
constexpr int kDrainMs = 100;

QString Text(const std::string& s) { return QString::fromStdString(s); }

// A played file as a source, never the same as a live one, nor as the next playback.
constexpr std::string_view kPlaybackPrefix = "playback:";
std::string PlaybackSourceName(const std::string& path) { return std::string(kPlaybackPrefix) + path; }
bool IsPlaybackSourceName(const std::string& source) { return source.starts_with(kPlaybackPrefix); }


}  // namespace

bool PortSentenceLink::IsOpen() const { return m_sio.IsOpen(); }
bool PortSentenceLink::IsPlayback() const { return m_sio.IsPlayback(); }
long PortSentenceLink::Write(const void* data, size_t size)
{
    m_lastFailure = m_queue.Enqueue(std::string_view(static_cast<const char*>(data), size));
    return m_lastFailure.empty() ? static_cast<long>(size) : -1;
}
std::string PortSentenceLink::Refusal() const { return m_sio.WriteRefusal(); }

MainWindow::MainWindow(const StartupOptions& options, QWidget* parent)
    : QMainWindow(parent)
    , m_link(GlobalLinkObjects())
    , m_commands(*new CommandActions(this))
    , m_writeQueue(m_link.sio)
    , m_sentenceLink(m_link.sio, m_writeQueue)
    , m_sender(&m_sentenceLink)
{
    setWindowTitle(QString::fromUtf8(kAppTitle));
    setWindowIcon(QIcon(pictures::kAppIcon256));
    setObjectName(QStringLiteral("MainWindow"));

    // The saved look first, so that everything below is built in it.
    m_nAppLook = ReadApplicationLook();
    OnApplicationLook(m_nAppLook);

    CreateActions();
    m_wndView = new PageTabs(m_commands, this);
    setCentralWidget(m_wndView);
    m_fixDisplays = m_wndView;
    m_trafficLog = m_wndView;
    m_pages = m_wndView;
    m_signalsPage = new SignalsPageWnd(m_wndView);
    m_signalsPage->setObjectName(QStringLiteral("Signals"));
    // The pages show the fix they were handed last, never the link's own
    // snapshot, which may already hold a later fix or another source's.
    m_signalsPage->SetSnapshotSource([this] { return m_fixFeed.LastGnss(); });
    m_wndView->AddPage(m_signalsPage, QIcon(pictures::kTabSignals), QStringLiteral("Signals"));
    m_accuracy = std::make_unique<AccuracyFeature>(
        m_commands, this, [this](Severity severity, const QString& text, const QString& detail) { Tell(severity, text, detail); });
    m_wndView->AddPage(m_accuracy->PageWidget(), AccuracyFeature::TabIcon(), QStringLiteral("Accuracy"));
    m_accuracy->SetGstSource([this]() -> std::optional<GstFields> { return m_fixFeed.LastGnss().gst; });
    // The pages take each fix in this order, as they always have.
    m_displaysSubscriber = std::make_unique<FixDisplaysSubscriber>(*m_fixDisplays);
    m_signalsSubscriber = std::make_unique<SignalsPageSubscriber>(*m_signalsPage);
    m_accuracySubscriber = std::make_unique<AccuracySubscriber>(*m_accuracy);
    m_fixFeed.Subscribe(m_displaysSubscriber.get());
    m_fixFeed.Subscribe(m_signalsSubscriber.get());
    m_fixFeed.Subscribe(m_accuracySubscriber.get());
    // Corrections go through the Send box's path: whole frames on the write queue.
    m_correctionSink = std::make_unique<SentenceLinkCorrectionSink>(m_sentenceLink);
    m_ntrip = std::make_unique<NtripFeature>(
        this, *m_correctionSink, [this](Severity severity, const QString& text, const QString& detail) { Tell(severity, text, detail); });
    m_fixFeed.Subscribe(m_ntrip.get());
    m_ntrip->SetCorrectionsStartedHook([this] { m_accuracy->MarkCorrectionsStarted(); });
    m_comparePage = new ComparePageWnd(m_wndView);
    m_comparePage->setObjectName(QStringLiteral("Compare"));
    m_wndView->AddPage(m_comparePage, AccuracyFeature::TabIcon(), QStringLiteral("Compare"));
    m_compareSubscriber = std::make_unique<CompareFixSubscriber>(*m_comparePage);
    m_fixFeed.Subscribe(m_compareSubscriber.get());
    m_pageRestart = std::make_unique<PageRestart>(m_fixFeed);
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    // After the Standard toolbar, so the pane list keeps it first.
    m_replay = new ReplayController(
        *this, m_link, m_commands, m_fixFeed,
        ReplayController::Hooks{[this](const QString& path) { return StartPlayback(path); }, [this] { Stop(); },
                                [this](const std::string& port, int baud) {
                                    QString failure;
                                    const std::string text = !port.empty() ? port : CommPortText(ReadCommPort());
                                    if (!ConnectTo(text, baud > 0 ? baud : ReadBaud(), &failure))
                                        Tell(Severity::kWarning, QStringLiteral("Could not reopen %1.").arg(Text(text)),
                                             failure);
                                    UpdateCommandUI();
                                },
                                [this] { CloseLink(); }, [this] { m_pageRestart->FileStarted(); },
                                [this](Severity severity, const QString& text, const QString& detail) {
                                    Tell(severity, text, detail);
                                },
                                [this](bool file) { m_pagesOnFile = file; }});
    m_replay->AddFileCommands(menuBar()->actions().first()->menu(), Action(kCmdAppExit));

    m_sender.SetActivityNotice([this] {
        QMetaObject::invokeMethod(this, &MainWindow::OnTxActivity, Qt::QueuedConnection);
    });
    m_sender.SetTransmitLog([this](std::string_view bytes) { m_trafficLog->AppendTransmitted(bytes); });
    m_sender.SetRefusalNotice([this](const std::string& why) { Tell(Severity::kNotice, Text(why)); });
    // Sentences the peer never took: marked in the transmit log and told.
    m_writeQueue.SetFailureNotice([this](const WriteQueue::Failure& failure) {
        QMetaObject::invokeMethod(this, [this, failure] {
            const QString why = QStringLiteral("%1; %2 bytes queued for it were not sent")
                                    .arg(Text(failure.reason))
                                    .arg(failure.bytes);
            m_trafficLog->AppendTransmitted("[not sent: " + why.toStdString() + "]\n");
            Tell(Severity::kNotice, QStringLiteral("Not sent: ") + why + QLatin1Char('.'));
        }, Qt::QueuedConnection);
    });
    m_trafficLog->SetSentenceSender(&m_sender);
    m_fixDisplays->SetSnapshotSource([this] { return m_fixFeed.Last(); });

    // The link's threads report through queued calls on this window.
    m_observer = std::make_unique<QueuedLinkObserver>(
        this, QueuedLinkObserver::Handlers{[this] { OnPositionUpdate(); }, [this] { OnRxActivity(); },
                                           [this] { OnReceiverLost(); }, [this] { OnSourceReconnected(); },
                                           [this] {
                                               m_replay->OnPlaybackEnded();
                                               // The title names a playback only while it plays.
                                               if (m_replay->PlaybackFinished())
                                                   setWindowTitle(QString::fromUtf8(kAppTitle));
                                               UpdateCommandUI();
                                           },
                                           [this] { m_replay->OnPlaybackRewound(); },
                                           [this](const std::vector<AnalysedFix>& fixes) {
                                               // A seek's fixes, as an analysis publishes them.
                                               for (const AnalysedFix& fix : fixes)
                                                   m_fixFeed.Publish(fix.display, fix.gnss);
                                           }});
    m_linkThreads = std::make_unique<LinkThreads>(m_link, *m_observer);
    m_sources = new SourceControl(*this, m_link, *m_linkThreads, m_commands);
    const bool started = options.startLinkThreads ? options.startLinkThreads(*m_linkThreads) : m_linkThreads->Start();
    CloseLink();
    ResetReceiverState();

    if (!started)
        Tell(Severity::kError, QStringLiteral("The link to the receiver could not be started."),
             QStringLiteral("No data will be received or sent until Stelmap is started again."));

    // The window is usable without a receiver, so a port that does not open
    // at start-up is a notice, not a box in the way.
    QString failure;
    if (options.connect) {
        if (!ConnectTo(options.connect->port, options.connect->baud > 0 ? options.connect->baud : ReadBaud(), &failure)) {
            Tell(Severity::kNotice, QStringLiteral("Could not connect to %1.").arg(Text(options.connect->port)), failure);
            // Asked for on the command line: answered there too.
            std::fprintf(stderr, "stelmap: could not connect to %s\n", qPrintable(failure));
        }
    } else {
        const CommPort port = ReadCommPort();
        if (!ConnectTo(CommPortText(port), ReadBaud(), &failure))
            Tell(Severity::kNotice, QStringLiteral("Could not connect to %1.").arg(Text(CommPortText(port))), failure);
    }

    m_drainTimer.setInterval(kDrainMs);
    connect(&m_drainTimer, &QTimer::timeout, this, &MainWindow::DrainReceivedText);
    m_drainTimer.start();
    m_rxTimer.setSingleShot(true);
    m_rxTimer.setInterval(kLampMs);
    connect(&m_rxTimer, &QTimer::timeout, this, [this] { SetLamp(m_rxLamp, false, true); });
    m_txTimer.setSingleShot(true);
    m_txTimer.setInterval(kLampMs);
    connect(&m_txTimer, &QTimer::timeout, this, [this] { SetLamp(m_txLamp, false, false); });

    if (const std::optional<double> threshold = ReadDopThreshold())
        m_fixDisplays->SetDopThreshold(DopThresholdHundredths(*threshold));
    m_savedScatterMode = ReadScatterPlotMode(2);
    m_fixDisplays->SetScatterCenterMode(m_savedScatterMode);
    LoadUserPosition(false);

    AskConfiguration();

    // The command-update pass: actions and panes follow the state whenever
    // the event loop is about to wait.
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &MainWindow::UpdateCommandUI);
    UpdateCommandUI();

    const QByteArray geometry = ReadWindowGeometry();
    if (geometry.isEmpty() || !restoreGeometry(geometry))
        resize(1100, 760);
    restoreState(ReadWindowState());
}

MainWindow::~MainWindow()
{
    StopLinkThreads();
    // Its workers publish to the feed, which goes before the window's children.
    delete m_replay;
    m_replay = nullptr;
    m_fixFeed.Unsubscribe(m_displaysSubscriber.get());
    m_fixFeed.Unsubscribe(m_signalsSubscriber.get());
    m_fixFeed.Unsubscribe(m_accuracySubscriber.get());
    m_fixFeed.Unsubscribe(m_ntrip.get());
    m_fixFeed.Unsubscribe(m_compareSubscriber.get());
}

void MainWindow::StopLinkThreads()
{
    // Releases a position update that waits for this thread, then joins.
    if (m_linkThreads)
        m_linkThreads->Stop();
    m_writeQueue.Stop();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    const bool saved = WriteWindowGeometry(saveGeometry()) & WriteToolbarLayout(m_toolbars->Layout())
                       & WriteWindowState(saveState());
    StopLinkThreads();
    // The status bar goes with the window: a box is the only way to tell.
    if (!saved)
        Tell(Severity::kWarning, QStringLiteral("The window layout could not be saved in the settings."));
    QMainWindow::closeEvent(event);
}

// ---------------------------------------------------------------- commands

void MainWindow::CreateActions()
{
    auto on = [this](int id, auto slot) { connect(Action(id), &QAction::triggered, this, slot); };
    on(kCmdAppExit, [this] { close(); });
    on(kCmdEditUndo, [this] { ForwardEditCommand("undo"); });
    on(kCmdEditCut, [this] { ForwardEditCommand("cut"); });
    on(kCmdEditCopy, [this] { ForwardEditCommand("copy"); });
    on(kCmdEditPaste, [this] { ForwardEditCommand("paste"); });
    on(kCmdNextPane, [this] { StepPage(1); });
    on(kCmdPrevPane, [this] { StepPage(-1); });
    on(kCmdAppAbout, [this] { OnAbout(); });
    on(kCmdConnect, [this] { OnConnect(); });
    on(kCmdRecord, [this] { OnRecord(); });
    on(kCmdPlayBack, [this] { OnPlayBack(); });
    on(kCmdStop, [this] { OnStop(); });
    on(kCmdSetDopThreshold, [this] { OnSetDopThreshold(); });
    on(kCmdSetUserPosition, [this] { OnSetUserPosition(); });
    on(kCmdPrecision, [this] { OnSolutionMode(ReceiverState::Precision); });
    on(kCmdIntegrity, [this] { OnSolutionMode(ReceiverState::Integrity); });
    on(kCmdCenterUserPosition, [this] { OnCenterMode(0); });
    on(kCmdCenterOnAverage, [this] { OnCenterMode(1); });
    on(kCmdCenterNextSample, [this] { OnCenterMode(2); });
    on(kCmdClearScatterPlot, [this] { OnClearScatterPlot(); });
    on(kCmdClearPositionPlots, [this] { OnClearPositionPlots(); });
    on(kCmdClearSatelliteTrails, [this] { m_fixDisplays->ClearSatelliteTrails(); });
    on(kCmdClearAzElMask, [this] { m_fixDisplays->ClearAzElMask(); });
    on(kCmdLookOffice2007Blue, [this] { OnApplicationLook(kLookOffice2007Blue); });
    on(kCmdLookOffice2007Black, [this] { OnApplicationLook(kLookOffice2007Black); });

    for (int id : {int(kCmdRecord), int(kCmdPrecision), int(kCmdIntegrity), int(kCmdCenterOnAverage),
                   int(kCmdCenterNextSample), int(kCmdCenterUserPosition), int(kCmdLookOffice2007Blue),
                   int(kCmdLookOffice2007Black), int(kCmdViewStatusBar)})
        Action(id)->setCheckable(true);
    // Radio marks; "optional" because an unlisted look marks neither item.
    // The groups live with the actions.
    for (auto [first, second] : {std::pair{int(kCmdPrecision), int(kCmdIntegrity)},
                                 std::pair{int(kCmdLookOffice2007Blue), int(kCmdLookOffice2007Black)}}) {
        auto* group = new QActionGroup(&m_commands);
        group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
        group->addAction(Action(first));
        group->addAction(Action(second));
    }

    // Accelerators; the edit commands act on the focused control.
    Action(kCmdEditCopy)->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)});
    Action(kCmdEditPaste)->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)});
    Action(kCmdEditCut)->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)});
    Action(kCmdEditUndo)->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)});
    Action(kCmdNextPane)->setShortcut(QKeySequence(Qt::Key_F6));
    Action(kCmdPrevPane)->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6));
    for (int id : {int(kCmdEditCopy), int(kCmdEditPaste), int(kCmdEditCut), int(kCmdEditUndo), int(kCmdNextPane),
                   int(kCmdPrevPane)}) {
        Action(id)->setShortcutContext(Qt::WindowShortcut);
        addAction(Action(id));
    }
}

void MainWindow::CreateMenus()
{
    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->addAction(Action(kCmdAppExit));

    QMenu* edit = bar->addMenu(QStringLiteral("&Edit"));
    edit->addAction(Action(kCmdEditUndo));
    edit->addSeparator();
    edit->addAction(Action(kCmdEditCut));
    edit->addAction(Action(kCmdEditCopy));
    edit->addAction(Action(kCmdEditPaste));

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
    view->addAction(Action(kCmdViewStatusBar));
    connect(Action(kCmdViewStatusBar), &QAction::toggled, this, [this](bool on) { statusBar()->setVisible(on); });
    QMenu* looks = view->addMenu(QStringLiteral("&Application Look"));
    looks->addAction(Action(kCmdLookOffice2007Blue));
    looks->addAction(Action(kCmdLookOffice2007Black));

    QMenu* tools = bar->addMenu(QStringLiteral("&Tools"));
    tools->addAction(Action(kCmdConnect));
    QMenu* recordPlay = tools->addMenu(QStringLiteral("Record/Play"));
    recordPlay->addAction(Action(kCmdPlayBack));
    recordPlay->addAction(Action(kCmdRecord));
    recordPlay->addAction(Action(kCmdStop));
    QMenu* settings = tools->addMenu(QStringLiteral("Settings"));
    settings->addAction(Action(kCmdSetDopThreshold));
    settings->addAction(Action(kCmdSetUserPosition));
    tools->addSeparator();
    QMenu* dual = tools->addMenu(QStringLiteral("Dual Mode Filter"));
    dual->addAction(Action(kCmdPrecision));
    dual->addAction(Action(kCmdIntegrity));
    m_accuracy->AddToMenu(tools);
    tools->addSeparator();  // the sources' additions, after the original items
    tools->addAction(Action(kCmdReconnectAutomatically));
    tools->addAction(Action(kCmdFindBaudRate));
    tools->addAction(Action(kCmdLinkHealth));
    m_ntrip->AddToMenu(tools);

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    help->addAction(Action(kCmdAppAbout));

    // Menus show the state of the moment, not of the last idle pass.
    for (QMenu* menu : {file, edit, view, looks, tools, recordPlay, settings, dual, help})
        connect(menu, &QMenu::aboutToShow, this, &MainWindow::BeforeMenuShows);
    QPointer<MainWindow> frame(this);
    m_commands.SetBeforePopupMenuShows([frame] {
        if (frame)
            frame->BeforeMenuShows();
    });
}

void MainWindow::BeforeMenuShows()
{
    // The centring marks follow the saved mode, read as the menu opens.
    m_savedScatterMode = ReadScatterPlotMode(2);
    UpdateCommandUI();
}

QMenu* MainWindow::createPopupMenu()
{
    QMenu* menu = QMainWindow::createPopupMenu();
    if (m_toolbars != nullptr)
        m_toolbars->AddCustomizeEntry(menu);
    return menu;
}

void MainWindow::CreateToolBar()
{
    m_wndToolBar = addToolBar(QStringLiteral("Standard"));
    m_wndToolBar->setObjectName(QStringLiteral("Standard"));
    m_wndToolBar->setIconSize(QSize(32, 32));
    m_wndToolBar->setMovable(true);
    m_wndToolBar->setFloatable(true);
    Action(kCmdConnect)->setIcon(QIcon(pictures::kToolConnect));
    Action(kCmdRecord)->setIcon(QIcon(pictures::kToolRecord));
    Action(kCmdStop)->setIcon(QIcon(pictures::kToolStop));
    Action(kCmdPlayBack)->setIcon(QIcon(pictures::kToolPlayBack));
    Action(kCmdAppAbout)->setIcon(QIcon(pictures::kToolAbout));
    m_wndToolBar->addAction(Action(kCmdConnect));
    m_wndToolBar->addSeparator();
    m_wndToolBar->addAction(Action(kCmdRecord));
    m_wndToolBar->addAction(Action(kCmdStop));
    m_wndToolBar->addAction(Action(kCmdPlayBack));
    m_wndToolBar->addSeparator();
    m_wndToolBar->addAction(Action(kCmdAppAbout));

    // The user's arrangement, before the window state places the toolbars.
    m_toolbars = new ToolbarCustomization(*this, m_commands, m_wndToolBar);
    m_toolbars->Restore(ReadToolbarLayout());
}

void MainWindow::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->showMessage(QStringLiteral("Ready"));
    // Panes as wide as their padded text, giving way to `least` in a narrow window.
    const auto pane = [&](int index, const QString& initial, const QString& least) {
        auto* label = new StatusPane(initial, initial, least, bar);
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
    bar->addPermanentWidget(m_ntrip->CreateStatusPane(bar));
    Action(kCmdViewStatusBar)->setChecked(true);
    new StatusBarMessages(*this);
}

QAction* MainWindow::Action(int id) const { return m_commands.ActionFor(id); }

QLabel* MainWindow::PaneLabel(int index) const
{
    return index > 0 && index < kPaneCount ? m_panes[index] : nullptr;
}

void MainWindow::SetPaneText(int index, const QString& text, bool enabled)
{
    QLabel* label = m_panes[index];
    if (label->text() != text)
        label->setText(text);
    if (label->isEnabled() != enabled)
        label->setEnabled(enabled);
}

void MainWindow::UpdateCommandUI()
{
    const bool playback = m_link.sio.IsPlayback();
    const bool recording = IsRecording();
    const bool dual = m_link.parser.m_dualMode.load() == 1;
    const int solution = m_link.parser.m_solutionMode.load();
    // A playback that reached its end has nothing left to stop.
    const bool playing = playback && !(m_replay != nullptr && m_replay->PlaybackFinished());

    Action(kCmdConnect)->setEnabled(!(m_link.sio.IsOpen() && playing));
    Action(kCmdRecord)->setEnabled(!recording);
    Action(kCmdRecord)->setChecked(recording);
    Action(kCmdPlayBack)->setEnabled(!playing);
    Action(kCmdStop)->setEnabled(playing || recording);
    Action(kCmdPrecision)->setEnabled(dual);
    Action(kCmdPrecision)->setChecked(solution == ReceiverState::Precision);
    Action(kCmdIntegrity)->setEnabled(dual);
    Action(kCmdIntegrity)->setChecked(solution == ReceiverState::Integrity);
    Action(kCmdCenterUserPosition)->setChecked(m_savedScatterMode == 0);
    Action(kCmdCenterOnAverage)->setChecked(m_savedScatterMode == 1);
    Action(kCmdCenterNextSample)->setChecked(m_savedScatterMode == 2);
    Action(kCmdLookOffice2007Blue)->setChecked(m_nAppLook == kLookOffice2007Blue);
    Action(kCmdLookOffice2007Black)->setChecked(m_nAppLook == kLookOffice2007Black);

    std::array<char, 256> quality;
    {
        std::lock_guard lock(m_link.dataLock);
        quality = m_link.snapshot.fixQualityText;
    }
    quality.back() = '\0';
    SetPaneText(kPaneQuality, Text(QualityPaneText(quality.data())));
    SetPaneText(kPaneRecord, Text(RecordPaneText(recording, Recording().Bytes())), recording);
    SetPaneText(kPaneDualMode, Text(DualModePaneText(dual)), dual);
    SetPaneText(kPaneSolutionMode, Text(SolutionModePaneText(solution)));
}

void MainWindow::ForwardEditCommand(const char* slot)
{
    QWidget* focus = QApplication::focusWidget();
    if (focus != nullptr && focus->metaObject()->indexOfMethod(QMetaObject::normalizedSignature(
                                (std::string(slot) + "()").c_str())) >= 0)
        QMetaObject::invokeMethod(focus, slot);
}

void MainWindow::StepPage(int step)
{
    const int n = m_pages->PageCount();
    m_pages->ShowPage((m_pages->CurrentPage() + step + n) % n);
}

// ---------------------------------------------------------------- link

void MainWindow::SendSentence(const std::string& text, bool addChecksum)
{
    m_sender.SendSentence(text, addChecksum);
}

void MainWindow::CloseLink()
{
    // No pause afterwards: the link never lets a read or write use a handle
    // that is being closed, so it is safe to reuse at once.
    m_sources->OnSourceChanged();
    m_ntrip->StopPlayback();
    m_link.sio.Close();
}

void MainWindow::ResetReceiverState()
{
    ResetParserData(m_link, true);
}

bool MainWindow::ConnectTo(const std::string& port, int baud, QString* failure)
{
    // A different source opens before the current one closes, so that a
    // mistyped port leaves the working link alone. The same device at a new
    // rate cannot be opened twice: it closes first, as it always did.
    const std::string current = m_link.sio.IsOpen() && !m_link.sio.IsPlayback() ? m_link.sio.DevicePath() : std::string();
    const bool reopen = !current.empty() && SameSource(current, port);
    if (reopen)
        CloseLink();
    SourceHandle handle = m_sources->OpenWithoutFreezing(port, baud);
    if (!handle.Ok()) {
        if (failure != nullptr) {
            const std::string reason = handle.detail.empty() ? OpenFailureText(handle.failure, handle.error) : handle.detail;
            *failure = QStringLiteral("%1: %2").arg(Text(port), Text(reason));
            if (!current.empty() && !reopen)
                *failure += QStringLiteral("\nStill connected to %1.").arg(Text(current));
        }
        m_link.sio.Adopt(std::move(handle));  // records why; the current source stays
        if (reopen || current.empty())
            ResetReceiverState();
        return false;
    }
    if (!SameSource(m_integrityDevice, port)) {
        ForgetIntegrity(m_link);  // HPL and HFOM of another receiver
        m_integrityDevice = port;
    }
    RecordingMeetsSource(port);
    m_replay->LeaveAnalysis();
    m_sources->OnSourceChanged();
    m_link.sio.Adopt(std::move(handle));
    m_queryRetry.Restart();
    AskConfiguration();
    ResetReceiverState();
    m_pageRestart->SourceOpened(port);
    return true;
}

void MainWindow::OnSourceReconnected()
{
    const std::string name = m_link.sio.DevicePath();
    m_trafficLog->AppendReceived("\n--- " + name + ": reconnected ---\n");
    Tell(Severity::kNotice, QStringLiteral("Reconnected to %1.").arg(Text(name)));
    m_queryRetry.Restart();
    AskConfiguration();
    UpdateCommandUI();
}

void MainWindow::OnPositionUpdate()
{
    m_queryRetry.GgaSeen();
    DisplaySnapshot fix;
    GnssSnapshot gnss;
    {
        std::lock_guard lock(m_link.dataLock);
        fix = m_link.snapshot;
        if (m_link.gnssSnapshot != nullptr)
            gnss = *m_link.gnssSnapshot;
    }
    const int64_t readUs = m_linkThreads != nullptr ? m_linkThreads->HandedFixReadUs() : 0;
    for (const TimedFixListener& listener : m_timedFixListeners)
        listener(fix, gnss, readUs);
    if (m_pagesOnFile)
        return;  // the pages show an analysed file; the link goes on unseen
    m_fixFeed.Publish(fix, gnss);
}

void MainWindow::OnRxActivity()
{
    SetLamp(m_rxLamp, true, true);
    m_rxTimer.start();
    // Until a fix tells us the quality, keep asking for the configuration.
    if (m_queryRetry.ShouldAsk(std::chrono::steady_clock::now()))
        AskConfiguration();
}

void MainWindow::AskConfiguration()
{
    // A source that only reads is not asked, nor is the refusal logged as a send.
    if (m_link.sio.IsOpen() && !m_link.sio.IsPlayback() && m_link.sio.WriteRefusal().empty())
        SendSentence(kConfigurationQuery, false);
}

void MainWindow::OnTxActivity()
{
    SetLamp(m_txLamp, true, false);
    m_txTimer.start();
}

void MainWindow::OnReceiverLost()
{
    const QString device = Text(m_link.sio.DevicePath());
    m_sources->OnReceiverLost();
    if (m_linkThreads->IsRetrying())
        Tell(Severity::kNotice, QStringLiteral("The receiver on %1 went away; retrying every second.").arg(device));
    else
        Tell(Severity::kNotice,
             QStringLiteral("The receiver on %1 went away; the link is closed. Use Connect to GPS to connect again.")
                 .arg(device.isEmpty() ? QStringLiteral("the port") : device));
    UpdateCommandUI();
}

void MainWindow::SetLamp(QLabel* lamp, bool lit, bool rx)
{
    (rx ? m_rxLit : m_txLit) = lit;
    const char* picture = rx ? (lit ? pictures::kRxLit : pictures::kRxIdle) : (lit ? pictures::kTxLit : pictures::kTxIdle);
    lamp->setPixmap(QPixmap(QString::fromUtf8(picture)));
}

void MainWindow::DrainReceivedText()
{
    CheckRecording();
    const ReceivedChunk chunk = DrainReceived(m_link, kDrainBytesPerTick);
    const std::string& bytes = chunk.bytes;
    if (bytes.empty())
        return;
    m_trafficLog->AppendReceived(bytes);
    m_ntrip->OnReceived(bytes);
}

void MainWindow::CheckRecording()
{
    if (const std::string failure = Recording().TakeFailure(); !failure.empty())
        StopRecording(Text(failure));
}

// ---------------------------------------------------------------- recording and playback

bool MainWindow::StartRecording(const QString& path)
{
    StopRecording();
    if (!Recording().Start(QFile::encodeName(path).toStdString())) {
        Tell(Severity::kError, QStringLiteral("Could not create file for recording data to."), Text(Recording().LastError()));
        return false;
    }
    if (!Recording().IndexError().empty())
        Tell(Severity::kNotice, QStringLiteral("Recording without a time index."), Text(Recording().IndexError()));
    m_recordingSource = CurrentSourceName();
    m_ntrip->StartRecording(QFile::encodeName(path).toStdString());
    UpdateCommandUI();
    return true;
}

std::string MainWindow::CurrentSourceName() const
{
    if (!m_link.sio.IsOpen())
        return {};
    return m_link.sio.IsPlayback() ? PlaybackSourceName(m_link.sio.PlaybackFile()) : m_link.sio.DevicePath();
}

void MainWindow::RecordingMeetsSource(const std::string& source)
{
    if (!Recording().IsRecording())
        return;
    // A recording started with nothing open takes the first source that comes.
    if (m_recordingSource.empty() || (!IsPlaybackSourceName(source) && SameSource(m_recordingSource, source))) {
        m_recordingSource = source;
        return;
    }
    // Another source's bytes would make the file two recordings in one,
    // and its time index would pace neither.
    StopRecording();
    Tell(Severity::kNotice, QStringLiteral("Recording to %1 ended: %2 bytes kept. A recording holds one source; "
                                           "record again to keep the new one.")
                                .arg(QFileInfo(Text(Recording().Path())).fileName())
                                .arg(Recording().Bytes()));
}

void MainWindow::StopRecording(QString failure)
{
    if (failure.isEmpty())
        failure = Text(Recording().TakeFailure());  // the reader's write failed first
    if (!Recording().IsRecording() && failure.isEmpty())
        return;
    const bool closed = Recording().Stop();
    m_ntrip->StopRecording();
    if (!failure.isEmpty() || !closed) {
        // What reached the file stays there; the user learns where it ends.
        Tell(Severity::kError,
             QStringLiteral("Recording stopped: writing to %1 failed (%2). The %3 bytes recorded before are kept.")
                 .arg(Text(Recording().Path()), failure.isEmpty() ? QStringLiteral("closing the file failed") : failure)
                 .arg(Recording().Bytes()));
    }
    UpdateCommandUI();
}

bool MainWindow::StartPlayback(const QString& path)
{
    // The live source it replaces, for Back to Live.
    const std::string livePort =
        m_link.sio.IsOpen() && !m_link.sio.IsPlayback() ? m_link.sio.DevicePath() : std::string();
    const int liveBaud = m_link.sio.BaudRate();
    RecordingMeetsSource(PlaybackSourceName(QFile::encodeName(path).toStdString()));
    m_replay->LeaveAnalysis();
    CloseLink();
    ForgetIntegrity(m_link);  // a recording says nothing about the last receiver's integrity
    m_integrityDevice.clear();
    const bool opened = m_link.sio.OpenPlayback(QFile::encodeName(path).toStdString());
    if (!opened)
        Tell(Severity::kWarning, QStringLiteral("File Error!"));
    ResetReceiverState();
    if (opened)
        m_pageRestart->FileStarted();
    // Only a playback that runs is announced in the title.
    setWindowTitle(opened ? Text(PlaybackTitle(QFile::encodeName(path).toStdString())) : QString::fromUtf8(kAppTitle));
    if (opened)
        m_replay->PlaybackStarted(livePort, liveBaud);
    if (opened)
        m_ntrip->StartPlayback(QFile::encodeName(path).toStdString(), [this] { return m_link.sio.PlaybackDelivered(); });
    UpdateCommandUI();
    return opened;
}

void MainWindow::Stop()
{
    if (m_link.sio.IsPlayback()) {
        CloseLink();
        m_replay->PlaybackStopped();
    }
    StopRecording();
    setWindowTitle(QString::fromUtf8(kAppTitle));
    UpdateCommandUI();
}

void MainWindow::OnRecord()
{
    QFileDialog dialog(this, QString(), QStringLiteral("NewNMEAFile"),
                       QStringLiteral("NMEA Data File (*.txt);;All Files (*)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    StartRecording(dialog.selectedFiles().first());
}

void MainWindow::OnPlayBack()
{
    QFileDialog dialog(this, QString(), QStringLiteral("NewNMEAFile"),
                       QStringLiteral("NMEA Data File (*.txt);;NMEA Data File (*.log);;All Files (*)"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // An Open dialog opens the file that exists: no default suffix here.
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    StartPlayback(dialog.selectedFiles().first());
}

void MainWindow::OnStop() { Stop(); }

// ---------------------------------------------------------------- dialogs and settings commands

void MainWindow::OnConnect()
{
    std::vector<std::string> ports, descriptions;
    EnumerateSerialPorts(ports, descriptions);
    SerialPortList list;
    for (size_t i = 0; i < ports.size(); ++i)
        list.emplace_back(Text(ports[i]), Text(descriptions[i]));
    for (const std::string& recent : ReadRecentSources())
        list.emplace_back(Text(recent), QStringLiteral("recent network source"));
    ConnectDlg dialog(ConnectValues{ReadCommPort(), ReadBaud(settings_keys::kConnectDialogBaud)}, list, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const ConnectValues chosen = dialog.Values();
    QString failure;
    if (!ConnectTo(CommPortText(chosen.port), chosen.baud, &failure)) {
        Tell(Severity::kError, QStringLiteral("Unable to connect to specified communication port."), failure);
        return;
    }
    const bool network = ParseSourceText(CommPortText(chosen.port)).address.IsNetwork();
    SettingNotSaved(WriteCommPort(chosen.port) && WriteBaud(chosen.baud) &&
                        (!network || AddRecentSource(CommPortText(chosen.port))),
                    QStringLiteral("port"));
}

void MainWindow::OnAbout()
{
    AboutDlg dialog(this);
    dialog.exec();
}

void MainWindow::OnSetDopThreshold()
{
    const double value = ReadDopThreshold().value_or(3.0);
    DopThresholdDlg dialog(DopThresholdValues{Text(FormatDopThreshold(value))}, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const double typed = ParseDopThreshold(dialog.Values().threshold.toStdString());
    SettingNotSaved(WriteDopThreshold(typed), QStringLiteral("DOP threshold"));
    m_fixDisplays->SetDopThreshold(DopThresholdHundredths(ReadDopThreshold().value_or(typed)));
}

void MainWindow::OnSetUserPosition()
{
    SetPositionDlg dialog(ReadUserPosition(), this);
    if (dialog.exec() == QDialog::Accepted) {
        if (const std::optional<UserPosition> position = dialog.Values())
            SettingNotSaved(WriteUserPosition(*position), QStringLiteral("user position"));
    }
    LoadUserPosition(true);
}

void MainWindow::LoadUserPosition(bool invalidate)
{
    const UserPosition position = ReadUserPosition();
    m_fixDisplays->SetUserPosition(position, invalidate);
    m_accuracy->SetUserPosition(position);
    m_comparePage->SetUserPosition(position.latitude, position.longitude, position.altitude);
}

bool MainWindow::Ask(const QString& question)
{
    return QMessageBox::warning(this, QString::fromUtf8(kAppTitle), question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}

void MainWindow::OnSolutionMode(int mode)
{
    m_link.parser.m_solutionMode = mode;
    UpdateCommandUI();
    if (!Ask(QStringLiteral("This will clear all displays and reset averages. Continue?")))
        return;
    m_fixDisplays->ClearAll(ReadScatterPlotMode(0));
    m_accuracy->Reset();
}

void MainWindow::OnCenterMode(int mode)
{
    m_fixDisplays->SetScatterCenterMode(mode);
    const bool written = WriteScatterPlotMode(mode);
    if (written)
        m_savedScatterMode = mode;
    SettingNotSaved(written, QStringLiteral("centring mode"));
    UpdateCommandUI();
}

void MainWindow::OnClearScatterPlot()
{
    if (!Ask(QStringLiteral("This will clear the scatter plot. However, the averages will not be affected. "
                            "Do you want to continue with this?")))
        return;
    m_fixDisplays->ClearScatterPlot();
}

void MainWindow::OnClearPositionPlots()
{
    if (Ask(QStringLiteral("Clearing the position plots will also clear the averages. Do you want to continue with this?")))
        m_fixDisplays->ClearPositionPlots();
}

void MainWindow::OnApplicationLook(int lookId)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_nAppLook = lookId;
    ApplyAppLook(lookId);
    if (m_wndView != nullptr)
        m_wndView->update();
    update();
    QApplication::restoreOverrideCursor();
    SettingNotSaved(WriteApplicationLook(lookId), QStringLiteral("application look"));
}

void MainWindow::OnUpdateAvailable(int version)
{
    m_latestVersion = version;
    ShowUpdateAlertIfNewer(version, this);
}

QStringList MainWindow::SaveScreenshots(const QString& dir) { return ::SaveScreenshots(*this, *m_pages, dir); }

void MainWindow::Tell(Severity severity, const QString& text, const QString& detail)
{
    TellUser(*this, UserNotice{severity, text, detail});
}

void MainWindow::SettingNotSaved(bool written, const QString& what)
{
    if (!written)
        Tell(Severity::kNotice, QStringLiteral("The %1 could not be saved in the settings.").arg(what));
}

bool MainWindow::LinkRunning() const { return m_linkThreads != nullptr && m_linkThreads->IsRunning(); }

DisplaySnapshot MainWindow::CopySnapshot() const
{
    std::lock_guard lock(m_link.dataLock);
    return m_link.snapshot;
}
