#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <functional>

#include "ntrip/ntrip_client.h"
#include "rtcm/tests/rtcm_samples.h"

// Runs the event loop until `done` or `ms` milliseconds have passed.
inline bool WaitFor(const std::function<bool()>& done, int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

// What a client met: everything it sent up, in order.
struct ClientLog {
    QByteArray body;
    int frames = 0;
    QList<NtripError> errors;
    QStringList texts;
    QList<NtripState> states;
    std::optional<SourceTable> table;

    void Watch(NtripClient& client)
    {
        QObject::connect(&client, &NtripClient::bodyReceived, [this](const QByteArray& b) { body += b; });
        QObject::connect(&client, &NtripClient::framesReceived, [this](const QList<QByteArray>& f) { frames += static_cast<int>(f.size()); });
        QObject::connect(&client, &NtripClient::failed, [this](NtripError e, const QString& t) {
            errors.append(e);
            texts.append(t);
        });
        QObject::connect(&client, &NtripClient::notice, [this](const QString& t) { texts.append(t); });
        QObject::connect(&client, &NtripClient::stateChanged, [this](NtripState s) { states.append(s); });
        QObject::connect(&client, &NtripClient::sourceTableReady, [this](const SourceTable& t) { table = t; });
    }
};

// A few seconds of a base station: a 1005, then MSM4 of GPS and GLONASS.
inline QByteArray SampleCorrections(int seconds, int station = 2003)
{
    std::string bytes = StationFrame(station, 4075580.1234, 931853.5678, 4801568.9012, 1006, 1.5);
    bytes += DescriptorFrame(station, "TRM59800.00     NONE", "5000118", "SEPT POLARX5", "5.4.0", "3001234");
    for (int s = 0; s < seconds; ++s)
        bytes += MsmFrame(1074, station, 9, static_cast<uint32_t>(s * 1000)) + MsmFrame(1084, station, 6, static_cast<uint32_t>(s * 1000));
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}
