#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

#include "app/correction_replay.h"
#include "app/correction_sink.h"
#include "app/ntrip_dialog.h"
#include "app/ntrip_status_text.h"
#include "app/ntrip_status_wnd.h"
#include "app/receiver_gga.h"
#include "app/status_pane.h"
#include "app/user_notice.h"
#include "kit/fix_feed.h"
#include "link/session_recorder.h"
#include "ntrip/ntrip_client.h"

class QAction;
class QMenu;
class QWidget;

// Corrections for the shown receiver, as the main window drives them: the
// NTRIP client with its dialog, status pane and status window; the frames
// go into a CorrectionSink; while recording they are saved beside the
// recording (FILE.rtcm and its index FILE.rtcm.times), and a playback of
// FILE shows them on the status as they came.
class NtripFeature : public QObject, public FixSubscriber {
    Q_OBJECT
public:
    using Tell = std::function<void(Severity, const QString& text, const QString& detail)>;

    NtripFeature(QWidget* dialogParent, CorrectionSink& sink, Tell tell);
    ~NtripFeature() override;

    // NTRIP Client..., NTRIP Status and Stop NTRIP at the end of `tools`.
    void AddToMenu(QMenu* tools);
    StatusPane* CreateStatusPane(QWidget* parent);

    void OnFix(const DisplaySnapshot& fix, const GnssSnapshot& gnss) override;
    void OnFixesRestart() override;
    // What the receiver sent: its GGA goes up to the caster as it is.
    void OnReceived(std::string_view bytes);

    // Starts the client as `values` say (after the warning when the
    // password would go out in the clear, unless `confirmPlain` says no).
    void Start(const NtripDialogValues& values);
    void StopClient();
    void ShowDialog();
    void ShowStatus();

    void StartRecording(const std::string& recording);
    void StopRecording();
    // `delivered` gives the playback's position in the recording.
    void StartPlayback(const std::string& recording, std::function<uint64_t()> delivered);
    void StopPlayback();

    // Called when the first frame of a connection reached the receiver.
    void SetCorrectionsStartedHook(std::function<void()> hook) { m_correctionsStarted = std::move(hook); }

    // Asked before credentials go out without TLS; true goes ahead.
    void SetPlainCredentialsQuestion(std::function<bool(const QString&)> ask) { m_askPlain = std::move(ask); }

    NtripClient& Client() { return m_client; }
    const RtcmTally& ShownTally() const;
    NtripStatusFigures Figures() const;
    NtripStatusWnd* StatusWindow() const { return m_statusWnd; }
    uint64_t FramesWritten() const { return m_framesWritten; }
    uint64_t FramesRefused() const { return m_framesRefused; }
    void Refresh();

private:
    void OnFrames(const QList<QByteArray>& frames);

    QWidget* m_dialogParent = nullptr;
    CorrectionSink& m_sink;
    Tell m_tell;
    NtripClient m_client;
    NtripDialogValues m_values;
    std::optional<Geodetic> m_fix;
    ReceiverGga m_receiverGga;
    SessionRecorder m_recorder;
    CorrectionReplay m_replay;
    std::function<uint64_t()> m_delivered;
    RtcmTally m_replayTally;
    double m_replaySeconds = 0.0;
    bool m_playing = false;
    QTimer m_replayTimer;
    QTimer m_refreshTimer;
    QPointer<StatusPane> m_pane;
    QPointer<NtripStatusWnd> m_statusWnd;
    uint64_t m_lastBytes = 0;
    double m_bytesPerSecond = 0.0;
    uint64_t m_framesWritten = 0;
    uint64_t m_framesRefused = 0;
    std::string m_lastRefusal;
    std::function<bool(const QString&)> m_askPlain;
    std::function<void()> m_correctionsStarted;
    bool m_firstWritten = false;  // since Start
};

// The dialog's values in the settings, the password only when it is to be
// remembered.
NtripDialogValues ReadNtripSettings();
void WriteNtripSettings(const NtripDialogValues& values);
