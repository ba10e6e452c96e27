#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <deque>
#include <optional>
#include <string>

#include "rtcm/caster_text.h"
#include "rtcm/ntrip_request.h"
#include "rtcm/ntrip_response.h"
#include "rtcm/rtcm_framer.h"
#include "rtcm/rtcm_tally.h"
#include "rtcm/source_table.h"

class QAbstractSocket;
class QSslSocket;

// Why a caster gave no corrections, as the user reads it.
enum class NtripError {
    None,
    Unauthorized,      // 401: wrong user name or password
    NoSuchMountpoint,  // 404, or a source table instead of the stream
    StreamClosed,      // the caster closed the stream
    NoData,            // nothing for noDataSeconds
    TlsFailure,        // handshake failed or a certificate not trusted
    Timeout,           // no connection or no answer in time
    Connect,           // host unknown, refused, network down
    Protocol,          // an answer that is not NTRIP, or a hostile one
    HttpStatus,        // any other refusal
};

const char* NtripErrorName(NtripError error);

enum class NtripState { Idle, WaitingForFix, Connecting, Streaming, Reconnecting, Failed };

const char* NtripStateName(NtripState state);

struct NtripClientOptions {
    CasterAddress address;
    bool tls = false;  // also on for ports 443 and 2102
    QByteArray trustedCertificate;  // PEM: accepted even when no authority signed it
    bool sendGga = false;  // the mountpoint needs the receiver's position
    int ggaIntervalSeconds = 10;
    bool reconnect = true;
    int noDataSeconds = 30;  // a stream silent this long counts as lost
    QString userAgent = QStringLiteral("Stelmap/0.2");
};

// A client of an NTRIP caster on Qt Network, on the thread it lives on.
// It asks in NTRIP 2 and falls back to NTRIP 1 when the caster does not
// understand, authenticates with HTTP Basic, sends GGA at connect and
// every few seconds, and reconnects with a growing pause (1, 2, 4 ... 60 s)
// after a loss; wrong credentials, a missing mountpoint and a refused
// certificate end it, as retrying cannot help. The password goes into the
// request and nowhere else: every text this class makes names the caster
// without it.
class NtripClient : public QObject {
    Q_OBJECT
public:
    static constexpr int kAnswerTimeoutSeconds = 10;
    static constexpr int kMaxBackoffSeconds = 60;
    static constexpr size_t kKeptErrors = 10;

    struct ErrorRecord {
        NtripError error = NtripError::None;
        QString text;
        qint64 atMs = 0;  // since the epoch
    };

    explicit NtripClient(QObject* parent = nullptr);
    ~NtripClient() override;

    // Connects to the mountpoint (waiting for a GGA first when it needs
    // one). Stop() ends it.
    void Start(const NtripClientOptions& options);
    // Fetches the caster's source table once; sourceTableReady or failed.
    void FetchSourceTable(const NtripClientOptions& options);
    void Stop();

    // The latest GGA of the receiver (or of a fixed position), CR LF ended.
    // A GGA without a fix does not count as one for a mountpoint that
    // waits for it.
    void SetGga(const std::string& sentence);

    NtripState State() const { return m_state; }
    bool UsesTls() const;
    // Whether credentials would go out in the clear: the caller warns first.
    bool CredentialsWithoutTls() const;
    QString CasterName() const;  // without the password
    const RtcmTally& Tally() const { return m_tally; }
    uint64_t BodyBytes() const { return m_bodyBytes; }
    int Reconnects() const { return m_reconnects; }
    int GgaSent() const { return m_ggaSent; }
    // Milliseconds streaming on the current connection; 0 when not.
    qint64 UptimeMs() const;
    // Seconds on a clock that never steps, as the tally's times are.
    double Now() const;
    const std::deque<ErrorRecord>& Errors() const { return m_errors; }
    NtripVersion Version() const { return m_version; }
    int NextBackoffSeconds() const { return m_backoffSeconds; }

signals:
    void stateChanged(NtripState state);
    // What the caster sent after its headers, as it came.
    void bodyReceived(const QByteArray& bytes);
    // The whole RTCM frames among those bytes, CRC checked.
    void framesReceived(const QList<QByteArray>& frames);
    void sourceTableReady(const SourceTable& table);
    void failed(NtripError error, const QString& text);
    // A message for the user that is not an error (fallback, waiting).
    void notice(const QString& text);

private:
    void Open();
    void OnConnected();
    void OnReadyRead();
    void OnDisconnected();
    void OnSocketError();
    void OnHeaders();
    void TakeBody(const std::string& body);
    void SendGga();
    void Fail(NtripError error, const QString& text);
    void CloseSocket();
    void SetState(NtripState state);
    void ScheduleReconnect();

    NtripClientOptions m_options;
    bool m_sourceTableOnly = false;
    NtripState m_state = NtripState::Idle;
    NtripVersion m_version = NtripVersion::V2;
    bool m_triedFallback = false;
    QPointer<QAbstractSocket> m_socket;
    NtripResponseReader m_reader;
    std::string m_sourceTableText;
    bool m_headersSeen = false;
    RtcmTally m_tally;
    uint64_t m_bodyBytes = 0;
    std::string m_gga;
    bool m_ggaHasFix = false;
    int m_ggaSent = 0;
    int m_reconnects = 0;
    int m_backoffSeconds = 1;
    std::deque<ErrorRecord> m_errors;
    QTimer m_ggaTimer;
    QTimer m_noDataTimer;
    QTimer m_answerTimer;
    QTimer m_reconnectTimer;
    QElapsedTimer m_clock;
    QElapsedTimer m_streaming;
    bool m_errorReported = false;  // this connection's loss was told already
};

Q_DECLARE_METATYPE(NtripError)
Q_DECLARE_METATYPE(NtripState)
