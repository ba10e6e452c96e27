#include "ntrip/ntrip_client.h"

#include <QDateTime>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTcpSocket>
#include <algorithm>

namespace {

// Field 6 of a GGA is its quality: 0 or empty means no fix.
bool GgaHasFix(const std::string& gga)
{
    if (gga.size() < 7 || gga.compare(3, 3, "GGA") != 0)
        return false;
    size_t start = 0;
    for (int field = 0; field < 6; ++field) {
        start = gga.find(',', start);
        if (start == std::string::npos)
            return false;
        ++start;
    }
    return start < gga.size() && gga[start] >= '1' && gga[start] <= '9';
}

}  // namespace

const char* NtripErrorName(NtripError error)
{
    switch (error) {
    case NtripError::None: return "none";
    case NtripError::Unauthorized: return "unauthorized";
    case NtripError::NoSuchMountpoint: return "no such mountpoint";
    case NtripError::StreamClosed: return "stream closed";
    case NtripError::NoData: return "no data";
    case NtripError::TlsFailure: return "TLS failure";
    case NtripError::Timeout: return "timeout";
    case NtripError::Connect: return "connection failed";
    case NtripError::Protocol: return "protocol";
    case NtripError::HttpStatus: return "refused";
    }
    return "";
}

const char* NtripStateName(NtripState state)
{
    switch (state) {
    case NtripState::Idle: return "idle";
    case NtripState::WaitingForFix: return "waiting for a fix";
    case NtripState::Connecting: return "connecting";
    case NtripState::Streaming: return "streaming";
    case NtripState::Reconnecting: return "reconnecting";
    case NtripState::Failed: return "failed";
    }
    return "";
}

NtripClient::NtripClient(QObject* parent) : QObject(parent)
{
    qRegisterMetaType<NtripError>();
    qRegisterMetaType<NtripState>();
    m_clock.start();
    m_noDataTimer.setSingleShot(true);
    m_answerTimer.setSingleShot(true);
    m_reconnectTimer.setSingleShot(true);
    connect(&m_ggaTimer, &QTimer::timeout, this, &NtripClient::SendGga);
    connect(&m_noDataTimer, &QTimer::timeout, this, [this] {
        Fail(NtripError::NoData, tr("No corrections from %1 for %2 s").arg(CasterName()).arg(m_options.noDataSeconds));
    });
    connect(&m_answerTimer, &QTimer::timeout, this, [this] {
        Fail(NtripError::Timeout, tr("%1 did not answer within %2 s").arg(CasterName()).arg(kAnswerTimeoutSeconds));
    });
    connect(&m_reconnectTimer, &QTimer::timeout, this, &NtripClient::Open);
}

NtripClient::~NtripClient()
{
    CloseSocket();
}

double NtripClient::Now() const
{
    return static_cast<double>(m_clock.nsecsElapsed()) * 1e-9;
}

bool NtripClient::UsesTls() const
{
    return m_options.tls || m_options.address.TlsByPort();
}

bool NtripClient::CredentialsWithoutTls() const
{
    return m_options.address.hasCredentials && !UsesTls();
}

QString NtripClient::CasterName() const
{
    return QString::fromStdString(CasterTextWithoutPassword(m_options.address));
}

qint64 NtripClient::UptimeMs() const
{
    return m_state == NtripState::Streaming && m_streaming.isValid() ? m_streaming.elapsed() : 0;
}

void NtripClient::Start(const NtripClientOptions& options)
{
    Stop();
    m_options = options;
    m_sourceTableOnly = false;
    m_version = NtripVersion::V2;
    m_triedFallback = false;
    m_backoffSeconds = 1;
    m_reconnects = 0;
    if (m_options.sendGga && !m_ggaHasFix) {
        SetState(NtripState::WaitingForFix);
        emit notice(tr("Waiting for a fix before connecting to %1").arg(CasterName()));
        return;
    }
    Open();
}

void NtripClient::FetchSourceTable(const NtripClientOptions& options)
{
    Stop();
    m_options = options;
    m_options.address.mountpoint.clear();
    m_options.reconnect = false;
    m_sourceTableOnly = true;
    m_version = NtripVersion::V2;
    m_triedFallback = false;
    Open();
}

void NtripClient::Stop()
{
    m_reconnectTimer.stop();
    CloseSocket();
    SetState(NtripState::Idle);
}

void NtripClient::SetGga(const std::string& sentence)
{
    m_gga = sentence;
    if (!m_gga.empty() && m_gga.back() != '\n')
        m_gga += "\r\n";
    m_ggaHasFix = GgaHasFix(m_gga);
    if (m_state == NtripState::WaitingForFix && m_ggaHasFix)
        Open();
}

void NtripClient::SetState(NtripState state)
{
    if (state == m_state)
        return;
    m_state = state;
    emit stateChanged(state);
}

void NtripClient::Open()
{
    CloseSocket();
    m_reader = NtripResponseReader();
    m_sourceTableText.clear();
    m_headersSeen = false;
    m_errorReported = false;
    SetState(NtripState::Connecting);
    QAbstractSocket* socket = nullptr;
    if (UsesTls()) {
        auto* ssl = new QSslSocket(this);
        connect(ssl, &QSslSocket::encrypted, this, &NtripClient::OnConnected);
        connect(ssl, &QSslSocket::sslErrors, this, [this, ssl](const QList<QSslError>& errors) {
            // A certificate the user told us to trust is accepted as it is
            // (self-signed, another host name); nothing else is.
            const QSslCertificate peer = ssl->peerCertificate();
            if (!m_options.trustedCertificate.isEmpty() && !peer.isNull()) {
                const QList<QSslCertificate> trusted = QSslCertificate::fromData(m_options.trustedCertificate, QSsl::Pem);
                if (trusted.contains(peer)) {
                    ssl->ignoreSslErrors(errors);
                    return;
                }
            }
            QStringList reasons;
            for (const QSslError& e : errors)
                reasons << e.errorString();
            Fail(NtripError::TlsFailure, tr("TLS with %1 failed: %2").arg(CasterName(), reasons.join(QStringLiteral("; "))));
        });
        socket = ssl;
    } else {
        socket = new QTcpSocket(this);
        connect(socket, &QAbstractSocket::connected, this, &NtripClient::OnConnected);
    }
    m_socket = socket;
    connect(socket, &QAbstractSocket::readyRead, this, &NtripClient::OnReadyRead);
    connect(socket, &QAbstractSocket::disconnected, this, &NtripClient::OnDisconnected);
    connect(socket, &QAbstractSocket::errorOccurred, this, &NtripClient::OnSocketError);
    m_answerTimer.start(kAnswerTimeoutSeconds * 1000);
    const QString host = QString::fromStdString(m_options.address.host);
    const auto port = static_cast<quint16>(m_options.address.port);
    if (auto* ssl = qobject_cast<QSslSocket*>(socket))
        ssl->connectToHostEncrypted(host, port);
    else
        socket->connectToHost(host, port);
}

void NtripClient::OnConnected()
{
    if (!m_socket)
        return;
    const std::string request = NtripRequest(m_options.address, m_version, m_options.userAgent.toStdString());
    m_socket->write(request.data(), static_cast<qint64>(request.size()));
}

void NtripClient::OnReadyRead()
{
    while (m_socket && m_socket->bytesAvailable() > 0) {
        const QByteArray bytes = m_socket->read(64 * 1024);
        std::string body;
        const auto state = m_reader.Feed(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())), body);
        if (state == NtripResponseReader::State::Error) {
            // A caster that speaks only NTRIP 1 may answer a version 2
            // request with something no HTTP reader takes.
            if (m_version == NtripVersion::V2 && !m_headersSeen && !m_triedFallback) {
                m_version = NtripVersion::V1;
                m_triedFallback = true;
                emit notice(tr("%1 does not speak NTRIP 2; trying NTRIP 1").arg(CasterName()));
                Open();
                return;
            }
            Fail(NtripError::Protocol, tr("%1: %2").arg(CasterName(), QString::fromStdString(m_reader.Error())));
            return;
        }
        if (!m_headersSeen && m_reader.HeadersDone()) {
            m_headersSeen = true;
            OnHeaders();
            if (!m_socket || m_state == NtripState::Failed)
                return;
        }
        if (!body.empty())
            TakeBody(body);
        if (m_reader.CurrentState() == NtripResponseReader::State::Done) {
            OnDisconnected();
            return;
        }
    }
}

void NtripClient::OnHeaders()
{
    m_answerTimer.stop();
    const int status = m_reader.StatusCode();
    const bool table = m_reader.IsSourceTable();
    if (m_sourceTableOnly) {
        if (status != 200)
            Fail(status == 401 ? NtripError::Unauthorized : NtripError::HttpStatus,
                 tr("%1 refused the source table: %2 %3").arg(CasterName()).arg(status).arg(QString::fromStdString(m_reader.Reason())));
        return;
    }
    if (status == 401) {
        Fail(NtripError::Unauthorized, tr("%1 refused the user name or password (401)").arg(CasterName()));
        return;
    }
    if (status == 404 || (status == 200 && table)) {
        Fail(NtripError::NoSuchMountpoint,
             tr("%1 has no mountpoint '%2'; its source table lists the ones it has")
                 .arg(CasterName(), QString::fromStdString(m_options.address.mountpoint)));
        return;
    }
    if (status >= 400 && m_version == NtripVersion::V2 && !m_triedFallback && (status == 400 || status == 501 || status == 505)) {
        m_version = NtripVersion::V1;
        m_triedFallback = true;
        emit notice(tr("%1 does not speak NTRIP 2; trying NTRIP 1").arg(CasterName()));
        Open();
        return;
    }
    if (status != 200) {
        Fail(NtripError::HttpStatus,
             tr("%1 refused: %2 %3").arg(CasterName()).arg(status).arg(QString::fromStdString(m_reader.Reason())));
        return;
    }
    SetState(NtripState::Streaming);
    m_streaming.start();
    m_backoffSeconds = 1;
    m_noDataTimer.start(m_options.noDataSeconds * 1000);
    if (m_options.sendGga || !m_gga.empty()) {
        SendGga();
        m_ggaTimer.start(std::max(1, m_options.ggaIntervalSeconds) * 1000);
    }
}

void NtripClient::TakeBody(const std::string& body)
{
    if (m_sourceTableOnly) {
        // A source table is text of some kilobytes; a caster that sends
        // megabytes is not sending one.
        if (m_sourceTableText.size() + body.size() > 4u * 1024 * 1024) {
            Fail(NtripError::Protocol, tr("%1 sent a source table larger than 4 MiB").arg(CasterName()));
            return;
        }
        m_sourceTableText += body;
        return;
    }
    m_bodyBytes += body.size();
    m_noDataTimer.start(m_options.noDataSeconds * 1000);
    emit bodyReceived(QByteArray(body.data(), static_cast<qsizetype>(body.size())));
    const double now = Now();
    QList<QByteArray> frames;
    for (const std::string& frame : m_tally.Feed(body, now))
        frames.append(QByteArray(frame.data(), static_cast<qsizetype>(frame.size())));
    if (!frames.isEmpty())
        emit framesReceived(frames);
}

void NtripClient::SendGga()
{
    if (!m_socket || m_state != NtripState::Streaming || m_gga.empty())
        return;
    m_socket->write(m_gga.data(), static_cast<qint64>(m_gga.size()));
    ++m_ggaSent;
}

void NtripClient::OnDisconnected()
{
    if (!m_socket || m_state == NtripState::Failed || m_state == NtripState::Idle)
        return;
    if (m_sourceTableOnly && m_headersSeen) {
        m_reader.Close();
        const SourceTable table = ParseSourceTable(m_sourceTableText);
        CloseSocket();
        SetState(NtripState::Idle);
        emit sourceTableReady(table);
        return;
    }
    if (!m_headersSeen && m_reader.StatusCode() != 0) {
        // Some casters (str2str among them) send a refusal's status line
        // alone and close: the status is the answer.
        m_headersSeen = true;
        OnHeaders();
        if (!m_socket)
            return;
    }
    if (!m_headersSeen && m_version == NtripVersion::V2 && !m_triedFallback) {
        m_version = NtripVersion::V1;
        m_triedFallback = true;
        emit notice(tr("%1 closed an NTRIP 2 request unanswered; trying NTRIP 1").arg(CasterName()));
        Open();
        return;
    }
    Fail(NtripError::StreamClosed, m_headersSeen ? tr("%1 closed the stream").arg(CasterName())
                                                 : tr("%1 closed the connection without answering").arg(CasterName()));
}

void NtripClient::OnSocketError()
{
    if (!m_socket)
        return;
    const QAbstractSocket::SocketError error = m_socket->error();
    if (error == QAbstractSocket::RemoteHostClosedError) {
        // The rest of the answer may still be buffered.
        OnReadyRead();
        OnDisconnected();
        return;
    }
    const QString why = m_socket->errorString();
    switch (error) {
    case QAbstractSocket::SslHandshakeFailedError:
    case QAbstractSocket::SslInternalError:
    case QAbstractSocket::SslInvalidUserDataError:
        Fail(NtripError::TlsFailure, tr("TLS with %1 failed: %2").arg(CasterName(), why));
        break;
    case QAbstractSocket::SocketTimeoutError:
        Fail(NtripError::Timeout, tr("%1 timed out: %2").arg(CasterName(), why));
        break;
    default:
        Fail(NtripError::Connect, tr("Cannot reach %1: %2").arg(CasterName(), why));
        break;
    }
}

void NtripClient::Fail(NtripError error, const QString& text)
{
    if (m_errorReported)
        return;
    m_errorReported = true;
    CloseSocket();
    m_errors.push_back({error, text, QDateTime::currentMSecsSinceEpoch()});
    while (m_errors.size() > kKeptErrors)
        m_errors.pop_front();
    const bool final = error == NtripError::Unauthorized || error == NtripError::NoSuchMountpoint ||
                       error == NtripError::TlsFailure || m_sourceTableOnly || !m_options.reconnect;
    SetState(final ? NtripState::Failed : NtripState::Reconnecting);
    emit failed(error, text);
    if (!final)
        ScheduleReconnect();
}

void NtripClient::ScheduleReconnect()
{
    ++m_reconnects;
    m_reconnectTimer.start(m_backoffSeconds * 1000);
    m_backoffSeconds = std::min(kMaxBackoffSeconds, m_backoffSeconds * 2);
}

void NtripClient::CloseSocket()
{
    m_answerTimer.stop();
    m_noDataTimer.stop();
    m_ggaTimer.stop();
    if (QAbstractSocket* socket = m_socket) {
        m_socket = nullptr;
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
    }
}
