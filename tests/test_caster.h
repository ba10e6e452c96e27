#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QMap>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

// An NTRIP caster for the tests, on the loopback: a source table, streams
// in NTRIP 1 (ICY) or NTRIP 2 (chunked), 401 for wrong credentials, 404 for
// a mountpoint it lacks, and the misbehaviours of real casters on demand.
// It keeps every GGA its clients send after their request.
class TestCaster : public QObject {
public:
    enum class Mode {
        Normal,
        Ntrip1Only,  // closes an NTRIP 2 request unanswered
        Stall,       // answers 200 and then sends nothing
        CloseAfterData,  // sends the stream once, then closes
        Raw,         // answers every request with `raw` as it is
    };

    struct Mountpoint {
        QByteArray data;      // sent at connect, then `repeat` every period
        QByteArray repeat;
        int periodMs = 0;
        bool needsGga = false;
    };

    QMap<QByteArray, Mountpoint> mountpoints;
    QByteArray credentials;  // "user:password" it wants; empty: none
    Mode mode = Mode::Normal;
    QByteArray raw;
    QList<QByteArray> ggas;  // every GGA line received
    QList<QByteArray> requests;
    int connections = 0;

    TestCaster()
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                ++connections;
                m_clients.append(socket);
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { OnRead(socket); });
            }
        });
    }

    int Port() const { return m_server.serverPort(); }

    // Closes every client and stops listening (a caster that went away).
    void Shut()
    {
        m_server.close();
        for (const QPointer<QTcpSocket>& s : m_clients)
            if (s)
                s->abort();
        m_clients.clear();
    }

    QByteArray SourceTable() const
    {
        QByteArray table;
        for (auto it = mountpoints.begin(); it != mountpoints.end(); ++it)
            table += "STR;" + it.key() + ";Test " + it.key() + ";RTCM 3.3;1005(10),1074(1);2;GPS;TEST;DEU;50.10;8.60;" +
                     (it->needsGga ? "1" : "0") + ";0;TestCaster;none;B;N;9600;\r\n";
        table += "CAS;127.0.0.1;" + QByteArray::number(Port()) + ";TestCaster;Tests;0;DEU;50.1;8.6;0.0.0.0;0;\r\n";
        table += "NET;TEST;Tests;B;N;none;none;none;\r\nENDSOURCETABLE\r\n";
        return table;
    }

private:
    void OnRead(QTcpSocket* socket)
    {
        QByteArray& buffer = m_buffers[socket];
        buffer += socket->readAll();
        if (!m_answered.contains(socket)) {
            const int end = buffer.indexOf("\r\n\r\n");
            if (end < 0)
                return;
            const QByteArray request = buffer.left(end + 4);
            buffer.remove(0, end + 4);
            requests.append(request);
            m_answered.insert(socket, true);
            Answer(socket, request);
        }
        int line;
        while ((line = buffer.indexOf('\n')) >= 0) {
            const QByteArray text = buffer.left(line + 1);
            buffer.remove(0, line + 1);
            if (text.startsWith('$') && text.mid(3, 3) == "GGA")
                ggas.append(text.trimmed());
        }
    }

    void Answer(QTcpSocket* socket, const QByteArray& request)
    {
        const bool v2 = request.contains("Ntrip-Version: Ntrip/2.0");
        const QByteArray path = request.mid(5, request.indexOf(' ', 5) - 5);
        if (mode == Mode::Raw) {
            socket->write(raw);
            return;
        }
        if (mode == Mode::Ntrip1Only && v2) {
            socket->disconnectFromHost();
            return;
        }
        const QByteArray version = v2 ? "HTTP/1.1 " : "HTTP/1.0 ";
        if (path.isEmpty() || (!mountpoints.contains(path) && !v2)) {
            const QByteArray table = SourceTable();
            socket->write((v2 ? "HTTP/1.1 200 OK\r\nNtrip-Version: Ntrip/2.0\r\nContent-Type: gnss/sourcetable\r\n"
                              : "SOURCETABLE 200 OK\r\nContent-Type: text/plain\r\n") +
                          QByteArray("Content-Length: ") + QByteArray::number(table.size()) + "\r\n\r\n" + table);
            socket->disconnectFromHost();
            return;
        }
        if (!credentials.isEmpty() && !request.contains("Authorization: Basic " + credentials.toBase64() + "\r\n")) {
            socket->write(version + "401 Unauthorized\r\nWWW-Authenticate: Basic realm=\"/" + path + "\"\r\nContent-Length: 0\r\n\r\n");
            socket->disconnectFromHost();
            return;
        }
        if (!mountpoints.contains(path)) {
            socket->write(version + "404 Not Found\r\nContent-Length: 0\r\n\r\n");
            socket->disconnectFromHost();
            return;
        }
        socket->write(v2 ? "HTTP/1.1 200 OK\r\nNtrip-Version: Ntrip/2.0\r\nTransfer-Encoding: chunked\r\n\r\n" : "ICY 200 OK\r\n");
        if (mode == Mode::Stall)
            return;
        const Mountpoint& m = mountpoints[path];
        const auto send = [socket, v2](const QByteArray& data) {
            if (data.isEmpty())
                return;
            socket->write(v2 ? QByteArray::number(data.size(), 16) + "\r\n" + data + "\r\n" : data);
        };
        send(m.data);
        if (mode == Mode::CloseAfterData) {
            socket->disconnectFromHost();
            return;
        }
        if (m.periodMs > 0) {
            auto* timer = new QTimer(socket);
            connect(timer, &QTimer::timeout, socket, [send, repeat = m.repeat] { send(repeat); });
            timer->start(m.periodMs);
        }
    }

    QTcpServer m_server;
    QList<QPointer<QTcpSocket>> m_clients;
    QMap<QTcpSocket*, QByteArray> m_buffers;
    QMap<QTcpSocket*, bool> m_answered;
};
