#include "app/ntrip_feature.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QSettings>
#include <ctime>

#include "app/ntrip_status_wnd.h"
#include "app/status_pane.h"
#include "rtcm/ntrip_request.h"

namespace {

constexpr char kGroup[] = "NTRIP";

double SecondsOfDayUtc()
{
    timespec ts{};
    ::clock_gettime(CLOCK_REALTIME, &ts);
    return static_cast<double>(ts.tv_sec % 86400) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

}  // namespace

NtripDialogValues ReadNtripSettings()
{
    QSettings s;
    s.beginGroup(kGroup);
    NtripDialogValues v;
    v.casterText = s.value("Caster").toString();
    v.user = s.value("User").toString();
    v.rememberPassword = s.value("RememberPassword", false).toBool();
    if (v.rememberPassword)
        v.password = s.value("Password").toString();
    v.tls = s.value("Tls", false).toBool();
    v.trustCertificate = s.value("TrustCertificate").toString();
    v.gga = static_cast<NtripDialogValues::Gga>(std::clamp(s.value("Gga", 0).toInt(), 0, 2));
    v.latitude = s.value("Latitude", 0.0).toDouble();
    v.longitude = s.value("Longitude", 0.0).toDouble();
    v.altitude = s.value("Altitude", 0.0).toDouble();
    v.ggaInterval = std::clamp(s.value("GgaInterval", 10).toInt(), 1, 600);
    return v;
}

void WriteNtripSettings(const NtripDialogValues& v)
{
    QSettings s;
    s.beginGroup(kGroup);
    s.setValue("Caster", v.casterText);
    s.setValue("User", v.user);
    s.setValue("RememberPassword", v.rememberPassword);
    if (v.rememberPassword)
        s.setValue("Password", v.password);
    else
        s.remove("Password");
    s.setValue("Tls", v.tls);
    s.setValue("TrustCertificate", v.trustCertificate);
    s.setValue("Gga", static_cast<int>(v.gga));
    s.setValue("Latitude", v.latitude);
    s.setValue("Longitude", v.longitude);
    s.setValue("Altitude", v.altitude);
    s.setValue("GgaInterval", v.ggaInterval);
}

NtripFeature::NtripFeature(QWidget* dialogParent, CorrectionSink& sink, Tell tell)
    : m_dialogParent(dialogParent), m_sink(sink), m_tell(std::move(tell))
{
    m_askPlain = [this](const QString& text) {
        return QMessageBox::warning(m_dialogParent, tr("NTRIP Client"), text, QMessageBox::Ok | QMessageBox::Cancel,
                                    QMessageBox::Cancel) == QMessageBox::Ok;
    };
    connect(&m_client, &NtripClient::framesReceived, this, &NtripFeature::OnFrames);
    connect(&m_client, &NtripClient::failed, this, [this](NtripError error, const QString& text) {
        m_tell(error == NtripError::Unauthorized || error == NtripError::NoSuchMountpoint || error == NtripError::TlsFailure
                   ? Severity::kWarning
                   : Severity::kNotice,
               text, error == NtripError::NoSuchMountpoint ? tr("Tools > NTRIP Client... > Get Source Table lists the mountpoints.")
                                                           : QString());
        Refresh();
    });
    connect(&m_client, &NtripClient::stateChanged, this, [this] { Refresh(); });
    connect(&m_replayTimer, &QTimer::timeout, this, [this] {
        if (!m_delivered)
            return;
        double seconds = m_replaySeconds;
        const std::string_view due = m_replay.Due(m_delivered(), &seconds);
        m_replaySeconds = seconds;
        if (!due.empty())
            m_replayTally.Feed(due, seconds);
    });
    connect(&m_refreshTimer, &QTimer::timeout, this, [this] {
        // The rate over the last second, whatever else refreshed meanwhile.
        const uint64_t bytes = m_client.BodyBytes();
        m_bytesPerSecond = static_cast<double>(bytes - std::min(bytes, m_lastBytes));
        m_lastBytes = bytes;
        Refresh();
    });
    m_refreshTimer.start(1000);
}

NtripFeature::~NtripFeature()
{
    m_client.Stop();
    m_recorder.Stop();
}

void NtripFeature::AddToMenu(QMenu* tools)
{
    tools->addSeparator();
    QAction* client = tools->addAction(tr("NTRIP Client..."), this, &NtripFeature::ShowDialog);
    client->setObjectName(QStringLiteral("NtripClient"));
    QAction* status = tools->addAction(tr("NTRIP Status"), this, &NtripFeature::ShowStatus);
    status->setObjectName(QStringLiteral("NtripStatus"));
    QAction* stop = tools->addAction(tr("Stop NTRIP"), this, &NtripFeature::StopClient);
    stop->setObjectName(QStringLiteral("NtripStop"));
    connect(tools, &QMenu::aboutToShow, stop, [this, stop] { stop->setEnabled(m_client.State() != NtripState::Idle); });
}

StatusPane* NtripFeature::CreateStatusPane(QWidget* parent)
{
    if (!m_pane) {
        m_pane = new StatusPane(QStringLiteral("NTRIP off"), QStringLiteral("NTRIP MOUNTPOINT reconnecting 99999 B/s age 99.9 s"),
                                 QStringLiteral("NTRIP …"), parent);
        m_pane->setObjectName(QStringLiteral("paneNtrip"));
        m_pane->setVisible(false);  // shown once there are corrections to speak of
    }
    return m_pane;
}

void NtripFeature::OnFix(const DisplaySnapshot& fix, const GnssSnapshot&)
{
    if (fix.countedQuality <= 0)
        return;
    m_fix = Geodetic{fix.latitude, fix.longitude, fix.altitude};
    // A fix whose GGA did not come over the link whole (a playback seek,
    // an analysis) still gives the caster a position.
    if (m_values.gga == NtripDialogValues::Gga::Receiver && m_receiverGga.Sentence().empty())
        m_client.SetGga(MakeGga(fix.latitude, fix.longitude, fix.altitude, SecondsOfDayUtc()));
}

void NtripFeature::OnReceived(std::string_view bytes)
{
    if (m_receiverGga.Feed(bytes) && m_values.gga == NtripDialogValues::Gga::Receiver)
        m_client.SetGga(m_receiverGga.Sentence());
}

void NtripFeature::OnFixesRestart()
{
    // A seek plays the recording again from its start.
    m_replay.Rewind();
    m_replayTally = RtcmTally();
}

void NtripFeature::ShowDialog()
{
    NtripDialog dialog(ReadNtripSettings(), m_fix, m_dialogParent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const NtripDialogValues values = dialog.Values();
    WriteNtripSettings(values);
    Start(values);
}

void NtripFeature::Start(const NtripDialogValues& values)
{
    CasterParse parse = ParseCasterText(values.casterText.toStdString());
    if (!parse.Ok()) {
        m_tell(Severity::kWarning, tr("Not a caster: %1").arg(QString::fromStdString(parse.error)), QString());
        return;
    }
    if (!values.user.isEmpty()) {
        parse.address.user = values.user.toStdString();
        parse.address.password = values.password.toStdString();
        parse.address.hasCredentials = true;
    }
    NtripClientOptions options;
    options.address = parse.address;
    options.tls = values.tls;
    options.ggaIntervalSeconds = values.ggaInterval;
    options.sendGga = values.gga != NtripDialogValues::Gga::None;
    if (!values.trustCertificate.isEmpty()) {
        QFile pem(values.trustCertificate);
        if (!pem.open(QIODevice::ReadOnly)) {
            m_tell(Severity::kWarning, tr("Cannot read the certificate to trust."), pem.errorString());
            return;
        }
        options.trustedCertificate = pem.readAll();
    }
    const QString name = QString::fromStdString(CasterTextWithoutPassword(parse.address));
    if (parse.address.hasCredentials && !(options.tls || parse.address.TlsByPort()) &&
        !m_askPlain(tr("The password for %1 would go out unencrypted: the caster is not reached over TLS. Send it anyway?").arg(name)))
        return;
    m_values = values;
    m_firstWritten = false;
    m_client.Stop();
    if (values.gga == NtripDialogValues::Gga::Fixed)
        m_client.SetGga(MakeGga(values.latitude, values.longitude, values.altitude, SecondsOfDayUtc()));
    else if (values.gga == NtripDialogValues::Gga::Receiver && m_fix)
        m_client.SetGga(MakeGga(m_fix->latitude, m_fix->longitude, m_fix->height, SecondsOfDayUtc()));
    m_client.Start(options);
    Refresh();
}

void NtripFeature::StopClient()
{
    m_client.Stop();
    Refresh();
}

void NtripFeature::ShowStatus()
{
    if (!m_statusWnd)
        m_statusWnd = new NtripStatusWnd(m_dialogParent);
    m_statusWnd->show();
    m_statusWnd->raise();
    Refresh();
}

void NtripFeature::OnFrames(const QList<QByteArray>& frames)
{
    for (const QByteArray& frame : frames) {
        std::string why;
        if (!m_sink.Write(frame.toStdString(), &why)) {
            ++m_framesRefused;
            if (why != m_lastRefusal)
                m_tell(Severity::kNotice, tr("Corrections are not sent to the receiver: %1.").arg(QString::fromStdString(why)), QString());
            m_lastRefusal = why;
            continue;
        }
        m_lastRefusal.clear();
        ++m_framesWritten;
        if (!m_firstWritten) {
            m_firstWritten = true;
            if (m_correctionsStarted)
                m_correctionsStarted();
        }
        if (m_recorder.IsRecording()) {
            const ReadStamp stamp{0, SteadyMicros(), UtcMicros()};
            if (!m_recorder.Append(std::string_view(frame.constData(), static_cast<size_t>(frame.size())), std::span(&stamp, 1)))
                m_tell(Severity::kWarning, tr("Saving the corrections stopped."), QString::fromStdString(m_recorder.LastError()));
        }
    }
}

void NtripFeature::StartRecording(const std::string& recording)
{
    m_recorder.Stop();
    if (!m_recorder.Start(CorrectionReplay::CorrectionsPath(recording)))
        m_tell(Severity::kNotice, tr("The corrections are not saved beside the recording."),
               QString::fromStdString(m_recorder.LastError()));
}

void NtripFeature::StopRecording()
{
    m_recorder.Stop();
}

void NtripFeature::StartPlayback(const std::string& recording, std::function<uint64_t()> delivered)
{
    StopPlayback();
    if (!m_replay.Load(recording))
        return;
    m_playing = true;
    m_delivered = std::move(delivered);
    m_replayTally = RtcmTally();
    m_replaySeconds = 0.0;
    m_replayTimer.start(100);
    Refresh();
}

void NtripFeature::StopPlayback()
{
    m_playing = false;
    m_replayTimer.stop();
    m_delivered = {};
    m_replay = CorrectionReplay();
}

const RtcmTally& NtripFeature::ShownTally() const
{
    return m_playing ? m_replayTally : m_client.Tally();
}

NtripStatusFigures NtripFeature::Figures() const
{
    NtripStatusFigures f;
    f.receiver = m_fix;
    f.ggaAge = m_receiverGga.DifferentialAge();
    if (m_playing) {
        f.mountpoint = "recorded corrections";
        f.state = "playback";
        f.age = m_replayTally.Age(m_replaySeconds);
        return f;
    }
    if (m_client.State() == NtripState::Idle && m_client.Tally().Frames() == 0)
        return f;
    f.mountpoint = m_client.CasterName().toStdString();
    f.state = NtripStateName(m_client.State());
    f.bytesPerSecond = m_bytesPerSecond;
    f.age = m_client.Tally().Age(m_client.Now());
    f.uptimeSeconds = static_cast<double>(m_client.UptimeMs()) / 1000.0;
    f.reconnects = m_client.Reconnects();
    for (const NtripClient::ErrorRecord& e : m_client.Errors())
        f.errors.push_back(e.text.toStdString());
    return f;
}

void NtripFeature::Refresh()
{
    const NtripStatusFigures figures = Figures();
    if (m_pane) {
        m_pane->setText(QString::fromStdString(NtripPaneText(figures)));
        m_pane->setVisible(!figures.mountpoint.empty());
    }
    if (m_statusWnd && m_statusWnd->isVisible())
        m_statusWnd->ShowRows(NtripStatusRows(figures, ShownTally(), m_playing ? m_replaySeconds : m_client.Now()));
}
