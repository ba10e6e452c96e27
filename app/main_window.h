#pragma once

#include <QMainWindow>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/frame_texts.h"
#include "app/user_notice.h"
#include "kit/command_ids.h"
#include "link/link_objects.h"
#include "kit/fix_feed.h"
#include "link/query_retry.h"
#include "link/session_recorder.h"
#include "link/write_queue.h"
#include "console/sentence_link.h"
#include "console/sentence_sender.h"

class CSignalsPageWnd;
class AccuracyFeature;
class NtripFeature;
class CorrectionSink;
class QAction;
class QLabel;
class QMenu;
class QToolBar;
class CChildView;
class CommandActions;
class FixDisplays;
class PageSet;
class TrafficLog;
class CSio;
class LinkThreads;
class QueuedLinkObserver;
class ReplayController;
class FixDisplaysSubscriber;
class SignalsPageSubscriber;
class AccuracySubscriber;
class ComparePageWnd;
class CompareFixSubscriber;
class ToolbarCustomization;
class SourceControl;
class PageRestart;

// The link's write queue as the console's send path sees it.
class CSioSentenceLink final : public SentenceLink {
public:
    CSioSentenceLink(CSio& sio, WriteQueue& queue) : m_sio(sio), m_queue(queue) {}
    bool IsOpen() const override;
    bool IsPlayback() const override;
    long Write(const void* data, size_t size) override;
    std::string Refusal() const override;
    std::string LastFailure() const override { return m_lastFailure; }

private:
    CSio& m_sio;
    WriteQueue& m_queue;
    std::string m_lastFailure;
};

struct StartupOptions {
    std::optional<ConnectOption> connect;  // instead of the saved port, not saved
    // Starts the link's threads; empty: LinkThreads::Start. Lets a test see
    // how a link that cannot start is told.
    std::function<bool(LinkThreads&)> startLinkThreads;
};

// The one top-level window: menu bar, "Standard" toolbar, status bar with
// the link lamps, and the five pages. It owns the link's threads, moves
// received text into the monitor and the record file every 100 ms, handles
// the commands, and writes every sentence to the receiver. It reaches the
// link through one LinkObjects and the pages through FixDisplays, TrafficLog
// and PageSet, and tells the user of every failure through Tell.
class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    // Status bar panes, by index.
    enum Pane : int { kPaneQuality = 1, kPaneRecord, kPaneRx, kPaneTx, kPaneCaps, kPaneDualMode, kPaneSolutionMode };
    static constexpr int kPaneCount = 8;
    static constexpr size_t kDrainBytesPerTick = 32768;

    explicit CMainFrame(const StartupOptions& options = {}, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Writes a sentence to the receiver (nothing while no port is open or a
    // file plays back), lighting the transmit lamp and logging it.
    void SendSentence(const std::string& text, bool addChecksum);
    void CloseLink();
    void ResetReceiverState();
    void LoadUserPosition(bool invalidate);

    // Recording and playback without their dialogs.
    bool StartRecording(const QString& path);
    bool StartPlayback(const QString& path);
    void Stop();
    NtripFeature* Ntrip() const { return m_ntrip.get(); }
    bool IsRecording() const { return Recording().IsRecording(); }
    uint64_t RecordedBytes() const { return Recording().Bytes(); }
    // Each live fix of the shown receiver as a value, with when the read that
    // carried it was made (steady clock, microseconds: SteadyMicros), on
    // the GUI thread in order, whether or not the pages show it (for the
    // Compare page's latency).
    using TimedFixListener = std::function<void(const DisplaySnapshot&, const GnssSnapshot&, int64_t readSteadyUs)>;
    void AddTimedFixListener(TimedFixListener listener) { m_timedFixListeners.push_back(std::move(listener)); }
    // Queues a whole frame (corrections) for the shown receiver; empty when
    // queued, else why not (no source, gpsd, UDP, a playback, a full queue).
    std::string EnqueueFrame(std::string_view frame) { return m_writeQueue.Enqueue(frame); }
    // Every fix reaches the pages through this feed; a page subscribes to it.
    FixFeed& Fixes() { return m_fixFeed; }
    ReplayController* Replay() const { return m_replay; }

    // Connect without the dialog; false (and the reason) when it fails.
    bool ConnectTo(const std::string& port, int baud, QString* failure = nullptr);

    // The timer's work: moves received text into the monitor and the record file.
    void DrainReceivedText();
    // Recomputes every action's state and the status bar panes.
    void UpdateCommandUI();

    CChildView* View() const { return m_wndView; }
    QLabel* PaneLabel(int index) const;
    bool RxLampLit() const { return m_rxLit; }
    bool TxLampLit() const { return m_txLit; }
    QToolBar* StandardToolBar() const { return m_wndToolBar; }
    ToolbarCustomization* Toolbars() const { return m_toolbars; }
    QAction* Action(int id) const;
    // The window's commands, one action per id, handed to the pages.
    CommandActions& Commands() const { return m_commands; }
    int AppLook() const { return m_nAppLook; }
    int LatestVersion() const { return m_latestVersion; }

    // Saves a PNG of the window with each page shown into `dir`; returns the
    // files written (screenshots.h).
    QStringList SaveScreenshots(const QString& dir);

    // Tells the user of a failure, by its severity (user_notice.h).
    void Tell(Severity severity, const QString& text, const QString& detail = {});
    // Whether the link's threads run.
    bool LinkRunning() const;
    SourceControl* Sources() const { return m_sources; }

    // The pane list, with "Customize..." at its end.
    QMenu* createPopupMenu() override;

public slots:
    void OnPositionUpdate();
    void OnRxActivity();
    void OnTxActivity();
    void OnReceiverLost();
    void OnSourceReconnected();
    // WM_UPDATE_AVAILABLE: callable directly or queued from any thread, e.g.
    // QMetaObject::invokeMethod(frame, "OnUpdateAvailable", Qt::QueuedConnection, Q_ARG(int, 12)).
    void OnUpdateAvailable(int version);
    void OnApplicationLook(int lookId);

    void OnConnect();
    void OnRecord();
    void OnPlayBack();
    void OnStop();
    void OnAbout();
    void OnSetDopThreshold();
    void OnSetUserPosition();
    void OnSolutionMode(int mode);
    void OnCenterMode(int mode);
    void OnClearScatterPlot();
    void OnClearPositionPlots();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void ForwardEditCommand(const char* slot);
    void StepPage(int step);
    void SetLamp(QLabel* lamp, bool lit, bool rx);
    void StopRecording(QString failure = {});
    // A recording the reader ended on a failed write is stopped and told.
    void CheckRecording();
    LinkRecording& Recording() const { return *m_link.recording; }
    void StopLinkThreads();
    bool Ask(const QString& question);
    void BeforeMenuShows();
    void SetPaneText(int index, const QString& text, bool enabled = true);
    // A settings write that failed, told as a notice; `what` names the value.
    void SettingNotSaved(bool written, const QString& what);
    DisplaySnapshot CopySnapshot() const;
    void AskConfiguration();
    // What is open now, as RecordingMeetsSource compares it; empty when nothing.
    std::string CurrentSourceName() const;
    // Before `source` opens: a recording of another source ends, and says so.
    void RecordingMeetsSource(const std::string& source);

    LinkObjects m_link;  // the link's state shared with its threads
    CommandActions& m_commands;
    CChildView* m_wndView = nullptr;
    FixDisplays* m_fixDisplays = nullptr;
    TrafficLog* m_trafficLog = nullptr;
    PageSet* m_pages = nullptr;
    CSignalsPageWnd* m_signalsPage = nullptr;  // the sixth tab, fed from the GNSS snapshot
    std::unique_ptr<AccuracyFeature> m_accuracy;
    std::unique_ptr<CorrectionSink> m_correctionSink;
    std::unique_ptr<NtripFeature> m_ntrip;
    QToolBar* m_wndToolBar = nullptr;
    ToolbarCustomization* m_toolbars = nullptr;
    QLabel* m_panes[kPaneCount] = {};
    QLabel* m_rxLamp = nullptr;
    QLabel* m_txLamp = nullptr;
    bool m_rxLit = false;
    bool m_txLit = false;

    QTimer m_drainTimer;
    QTimer m_txTimer;
    QTimer m_rxTimer;

    WriteQueue m_writeQueue;
    CSioSentenceLink m_sentenceLink;
    SentenceSender m_sender;
    std::unique_ptr<QueuedLinkObserver> m_observer;
    std::unique_ptr<LinkThreads> m_linkThreads;
    SourceControl* m_sources = nullptr;  // the source panes, reconnect, link health

    FixFeed m_fixFeed;
    std::unique_ptr<FixDisplaysSubscriber> m_displaysSubscriber;
    std::unique_ptr<SignalsPageSubscriber> m_signalsSubscriber;
    std::unique_ptr<AccuracySubscriber> m_accuracySubscriber;
    ComparePageWnd* m_comparePage = nullptr;
    std::unique_ptr<CompareFixSubscriber> m_compareSubscriber;
    std::unique_ptr<PageRestart> m_pageRestart;  // when the pages start afresh
    ReplayController* m_replay = nullptr;
    int m_latestVersion = 0;
    int m_nAppLook = 0;
    int m_savedScatterMode = 2;  // the saved "Scatter Plot Mode", for the check marks
    // The device HPL and HFOM came from; empty after a playback. Another
    // source starts without them (ForgetIntegrity).
    std::string m_integrityDevice;
    // The source the recording holds; empty until one opens.
    std::string m_recordingSource;
    QueryRetry m_queryRetry;
    bool m_pagesOnFile = false;
    std::vector<TimedFixListener> m_timedFixListeners;  // an analysed file, not the link, feeds the pages
};
