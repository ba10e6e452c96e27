#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "app/recording_analysis_runner.h"
#include "app/track_export_runner.h"
#include "app/user_notice.h"

class QAction;
class QMainWindow;
class QMenu;
class QProgressDialog;
class FixFeed;
class ReplayBar;
class CommandActions;
struct LinkObjects;

// What the main window does with recordings beyond Record and Play Back:
// the replay bar, the end-of-file message, Back to Live, seeking, File >
// Analyse Recording... and File > Export Track.... The window tells it when
// a playback starts and stops and when the link reports the file's end or
// a rewind; it asks the window to play or reconnect through the hooks.
class ReplayController : public QObject {
public:
    struct Hooks {
        std::function<bool(const QString& path)> startPlayback;
        std::function<void()> stopPlayback;
        // Reopens the live source that was open before (port text, baud).
        std::function<void(const std::string& port, int baud)> reconnect;
        std::function<void()> closeLink;
        // The gathering pages start afresh for a file (PageRestart).
        std::function<void()> restartPages;
        // Tells the user of a failure (the window's Tell).
        std::function<void(Severity, const QString& text, const QString& detail)> tell;
        // The pages show a file's fixes (true) while the live link goes on
        // unseen, or the live fixes again (false).
        std::function<void(bool file)> showFile = {};
    };

    ReplayController(QMainWindow& window, const LinkObjects& link, CommandActions& commands, FixFeed& feed,
                     Hooks hooks);
    ~ReplayController() override;

    // Adds Analyse Recording... and Export Track... to `file`, before `before`.
    void AddFileCommands(QMenu* file, QAction* before);

    // From the window: a playback begins, with the live source it replaces
    // (empty when none was open).
    void PlaybackStarted(const std::string& livePort, int liveBaud);
    void PlaybackStopped();
    bool PlaybackFinished() const { return m_finished; }
    // The pages show an analysed file until Back to Live.
    bool ShowingAnalysis() const { return m_analysisShown; }
    // Something else starts (a playback, another source): the analysis is
    // no longer what the pages show.
    void LeaveAnalysis();

    // From the link, on the GUI thread.
    void OnPlaybackEnded();
    void OnPlaybackRewound();

    // The commands without their dialogs.
    bool AnalyseRecording(const QString& path);
    bool ExportTrack(const QString& recording, const QString& output, const QString& format);
    void Seek(int64_t timeUs);
    void BackToLive();

    ReplayBar* Bar() const { return m_bar; }
    bool Busy() const { return m_analysis.IsRunning() || m_export.IsRunning(); }
    QString LastMessage() const { return m_lastMessage; }

private:
    void OnAnalyseRecording();
    void OnExportTrack();
    void ShowProgress(const QString& label, std::function<uint64_t()> done, uint64_t total, std::function<void()> cancel);
    void EndProgress();
    void Tell(const QString& message);
    // A new playback, analysis or the live link: the last one's message goes.
    void ClearOwnMessage();

    QMainWindow& m_window;
    const LinkObjects& m_link;
    CommandActions& m_commands;
    FixFeed& m_feed;
    Hooks m_hooks;
    ReplayBar* m_bar = nullptr;
    RecordingAnalysisRunner m_analysis;
    TrackExportRunner m_export;
    QProgressDialog* m_progress = nullptr;
    QTimer m_progressTimer;
    std::string m_livePort;
    int m_liveBaud = 0;
    bool m_finished = false;
    unsigned long long m_fixBase = 0;  // the feed's count when the playback began
    bool m_seeking = false;
    bool m_analysisShown = false;
    QString m_lastMessage;
};
