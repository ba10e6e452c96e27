#include "app/replay_controller.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QProgressDialog>
#include <QStatusBar>

#include "app/replay_bar.h"
#include "app/app_settings.h"
#include "kit/command_actions.h"
#include "kit/fix_feed.h"
#include "link/link_objects.h"
#include "link/session_recorder.h"

namespace {

constexpr const char* kRecordingFilter = "NMEA Data File (*.txt);;NMEA Data File (*.log);;All Files (*)";

}  // namespace

ReplayController::ReplayController(QMainWindow& window, const LinkObjects& link, CommandActions& commands,
                                   FixFeed& feed, Hooks hooks)
    : QObject(&window)
    , m_window(window)
    , m_link(link)
    , m_commands(commands)
    , m_feed(feed)
    , m_hooks(std::move(hooks))
    , m_analysis(feed, this)
{
    m_bar = new ReplayBar(ReplayBar::Handlers{[this](int64_t t) { Seek(t); }, [this] { BackToLive(); }}, &window);
    window.addToolBarBreak();
    window.addToolBar(Qt::BottomToolBarArea, m_bar);
    m_bar->hide();
    m_progressTimer.setInterval(100);
}

ReplayController::~ReplayController()
{
    m_analysis.Cancel();
    m_export.Cancel();
    m_export.Join();
}

void ReplayController::AddFileCommands(QMenu* file, QAction* before)
{
    QAction* analyse = m_commands.ActionFor(kCmdAnalyseRecording);
    connect(analyse, &QAction::triggered, this, [this] { OnAnalyseRecording(); });
    QAction* exportTrack = m_commands.ActionFor(kCmdExportTrack);
    connect(exportTrack, &QAction::triggered, this, [this] { OnExportTrack(); });
    file->insertAction(before, analyse);
    file->insertAction(before, exportTrack);
    file->insertSeparator(before);
    connect(file, &QMenu::aboutToShow, this, [this, analyse, exportTrack] {
        analyse->setEnabled(!Busy());
        exportTrack->setEnabled(!Busy());
    });
}

void ReplayController::Tell(const QString& message)
{
    m_lastMessage = message;
    m_window.statusBar()->showMessage(message);
}

void ReplayController::ClearOwnMessage()
{
    // Only ours: a message of something else that happened meanwhile stays.
    if (!m_lastMessage.isEmpty() && m_window.statusBar()->currentMessage() == m_lastMessage)
        m_window.statusBar()->clearMessage();
    m_lastMessage.clear();
}

void ReplayController::PlaybackStarted(const std::string& livePort, int liveBaud)
{
    // A second playback keeps the source of the first as the live one.
    if (!m_bar->isVisible() || !livePort.empty()) {
        m_livePort = livePort;
        m_liveBaud = liveBaud;
    }
    ClearOwnMessage();
    m_finished = false;
    m_seeking = false;
    m_fixBase = m_feed.Count();  // the message counts the file's fixes alone
    m_bar->Attach(&m_link.sio.Pacer());
}

void ReplayController::PlaybackStopped()
{
    m_finished = false;
    m_seeking = false;
    m_bar->Attach(nullptr);
}

void ReplayController::OnPlaybackEnded()
{
    if (!m_link.sio.IsPlayback())
        return;
    m_finished = true;
    m_seeking = false;
    EndProgress();
    const double seconds = static_cast<double>(m_link.sio.Pacer().DurationUs()) / 1e6;
    const QString message = QStringLiteral("Playback finished: %1 fixes, %2 s of recording")
                                .arg(m_feed.Count() - m_fixBase)
                                .arg(seconds, 0, 'f', seconds < 10 ? 1 : 0);
    m_bar->ShowFinished(message);
    Tell(message);
}

void ReplayController::OnPlaybackRewound()
{
    m_feed.Restart();
    m_fixBase = 0;
}

void ReplayController::Seek(int64_t timeUs)
{
    if (!m_link.sio.IsPlayback())
        return;
    m_finished = false;
    m_bar->ClearFinished();
    PlaybackPacer& pacer = m_link.sio.Pacer();
    pacer.SeekTo(timeUs, SteadyMicros());
    // The reader plays the file again from its start at full speed; the
    // pages start over when it rewinds, so every page is rebuilt alike.
    const uint64_t target = pacer.SeekTargetBytes();
    if (target > (1u << 20)) {
        m_seeking = true;
        ShowProgress(QStringLiteral("Seeking..."), [this] { return m_link.sio.PlaybackDelivered(); }, target, [this] {
            m_link.sio.Pacer().CancelSeek(SteadyMicros());
            m_seeking = false;
        });
    }
}

void ReplayController::LeaveAnalysis()
{
    if (!m_analysisShown)
        return;
    m_analysis.Cancel();
    m_analysisShown = false;
    if (m_hooks.showFile)
        m_hooks.showFile(false);
    if (!m_link.sio.IsPlayback())
        m_bar->Attach(nullptr);
}

void ReplayController::BackToLive()
{
    // The live link went on under the analysis: show it again, nothing to reopen.
    if (m_analysisShown && m_link.sio.IsOpen() && !m_link.sio.IsPlayback()) {
        LeaveAnalysis();
        if (m_hooks.restartPages)
            m_hooks.restartPages();
        else
            m_feed.Restart();
        return;
    }
    LeaveAnalysis();
    ClearOwnMessage();
    if (m_hooks.stopPlayback)
        m_hooks.stopPlayback();
    if (m_hooks.reconnect)
        m_hooks.reconnect(m_livePort, m_liveBaud);
    m_livePort.clear();
}

void ReplayController::ShowProgress(const QString& label, std::function<uint64_t()> done, uint64_t total,
                                    std::function<void()> cancel)
{
    EndProgress();
    m_progress = new QProgressDialog(label, QStringLiteral("Cancel"), 0, 1000, &m_window);
    m_progress->setWindowModality(Qt::WindowModal);
    m_progress->setMinimumDuration(300);
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    m_progress->setValue(0);
    connect(m_progress, &QProgressDialog::canceled, this, [this, cancel] {
        if (cancel)
            cancel();
        EndProgress();
    });
    disconnect(&m_progressTimer, nullptr, this, nullptr);
    connect(&m_progressTimer, &QTimer::timeout, this, [this, done, total] {
        if (m_progress == nullptr)
            return;
        const uint64_t d = done();
        m_progress->setValue(total > 0 ? static_cast<int>(std::min<uint64_t>(d, total) * 1000 / total) : 0);
        if (m_seeking && m_link.sio.Pacer().SeekTargetBytes() == 0) {
            m_seeking = false;
            EndProgress();
        }
    });
    m_progressTimer.start();
}

void ReplayController::EndProgress()
{
    m_progressTimer.stop();
    if (m_progress != nullptr) {
        m_progress->hide();
        m_progress->deleteLater();
        m_progress = nullptr;
    }
}

bool ReplayController::AnalyseRecording(const QString& path)
{
    if (Busy())
        return false;
    // The pages show this file alone, as a playback of it from a fresh start
    // would. A live link and its recording go on unseen until Back to Live;
    // a playback is not live and ends here.
    if (m_link.sio.IsPlayback()) {
        if (m_hooks.closeLink)
            m_hooks.closeLink();
        PlaybackStopped();
        ResetParserData(m_link, true);
    }
    ClearOwnMessage();
    m_analysisShown = true;
    if (m_hooks.showFile)
        m_hooks.showFile(true);
    if (m_hooks.restartPages)
        m_hooks.restartPages();
    else
        m_feed.Restart();
    const QString name = QFileInfo(path).fileName();
    const bool started = m_analysis.Start(path, [this, name](const RecordingAnalysisResult& r) {
        EndProgress();
        if (!r.ok) {
            if (m_hooks.tell)
                m_hooks.tell(Severity::kWarning, QStringLiteral("Could not analyse %1.").arg(name),
                             QString::fromStdString(r.error));
            return;
        }
        Tell(r.cancelled ? QStringLiteral("Analysis of %1 cancelled after %2 fixes.").arg(name).arg(m_feed.Count())
                         : QStringLiteral("Analysed %1: %2 fixes.").arg(name).arg(r.fixes));
        if (m_analysisShown)
            m_bar->ShowFileOnly(m_lastMessage);
    });
    if (started)
        m_bar->ShowFileOnly(QStringLiteral("Analysing %1...").arg(name));
    if (started)
        ShowProgress(QStringLiteral("Analysing %1...").arg(name), [this] { return m_analysis.BytesRead(); },
                     m_analysis.TotalBytes(), [this] { m_analysis.Cancel(); });
    return started;
}

bool ReplayController::ExportTrack(const QString& recording, const QString& output, const QString& format)
{
    const std::optional<TrackFormat> f = TrackFormatFromName(format.toLower().toStdString());
    if (!f || Busy())
        return false;
    const UserPosition user = ReadUserPosition();
    const TrackReference reference{user.latitude, user.longitude, user.altitude};
    // The destructor joins the worker, so `this` outlives it; a queued call
    // to a destroyed context never runs.
    ReplayController* self = this;
    const bool started = m_export.Start(recording, output, *f, reference, [self, output](const TrackExportResult& r) {
        QMetaObject::invokeMethod(
            self,
            [self, output, r] {
                self->m_export.Join();
                self->EndProgress();
                if (!r.ok) {
                    if (self->m_hooks.tell)
                        self->m_hooks.tell(Severity::kWarning, QStringLiteral("Could not export the track to %1.").arg(output),
                                           QString::fromStdString(r.error));
                }
                else if (r.cancelled)
                    self->Tell(QStringLiteral("Export cancelled; nothing was written."));
                else
                    self->Tell(QStringLiteral("Exported %1 fixes to %2.").arg(r.written).arg(output));
            },
            Qt::QueuedConnection);
    });
    if (started)
        ShowProgress(QStringLiteral("Exporting the track..."), [this] { return m_export.BytesRead(); },
                     m_export.TotalBytes(), [this] { m_export.Cancel(); });
    return started;
}

void ReplayController::OnAnalyseRecording()
{
    const QString path = QFileDialog::getOpenFileName(&m_window, QStringLiteral("Analyse Recording"), QString(),
                                                      QString::fromUtf8(kRecordingFilter));
    if (!path.isEmpty())
        AnalyseRecording(path);
}

void ReplayController::OnExportTrack()
{
    const QString recording = QFileDialog::getOpenFileName(&m_window, QStringLiteral("Export Track: Recording"),
                                                           QString(), QString::fromUtf8(kRecordingFilter));
    if (recording.isEmpty())
        return;
    QString filter;
    const QString output = QFileDialog::getSaveFileName(
        &m_window, QStringLiteral("Export Track"), QFileInfo(recording).completeBaseName(),
        QStringLiteral("CSV (*.csv);;GPX 1.1 (*.gpx);;KML 2.2 (*.kml)"), &filter);
    if (output.isEmpty())
        return;
    // The suffix typed wins; else the chosen filter decides.
    QString format = QFileInfo(output).suffix().toLower();
    if (!TrackFormatFromName(format.toStdString()))
        format = filter.startsWith(QStringLiteral("GPX")) ? QStringLiteral("gpx")
               : filter.startsWith(QStringLiteral("KML")) ? QStringLiteral("kml")
                                                          : QStringLiteral("csv");
    ExportTrack(recording, output, format);
}
