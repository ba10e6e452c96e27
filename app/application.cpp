#include "app/application.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTimer>

#include "kit/fonts.h"
#include "app/app_pictures.h"
#include "kit/settings_keys.h"

namespace {

const char* const kHelp =
    "usage: stelmap [--connect PORT[@BAUD]] [--screenshot DIR [--screenshot-after SECONDS]]\n"
    "\n"
    "Monitors a GNSS receiver that speaks NMEA 0183 on a serial port, over TCP or\n"
    "UDP, or through gpsd.\n"
    "\n"
    "  --connect PORT[@BAUD]     connect to PORT at start-up instead of the saved\n"
    "                            port; the saved settings stay as they are. PORT is\n"
    "                            one of:\n"
    "                              /dev/ttyUSB0, ttyUSB0  a serial device\n"
    "                              n, COMn                /dev/ttyS<n-1>\n"
    "                              tcp://HOST:PORT        a TCP server (ser2net, a\n"
    "                                                     receiver's TCP port)\n"
    "                              udp://[ADDRESS]:PORT   NMEA datagrams sent here\n"
    "                              gpsd://HOST[:PORT]     the receiver's NMEA through\n"
    "                                                     gpsd (port 2947 by default)\n"
    "                            BAUD, for a serial port, defaults to the saved rate.\n"
    "                            A source that does not open is told in the window\n"
    "                            and on standard error.\n"
    "  --screenshot DIR          after --screenshot-after seconds (default 10) save a\n"
    "                            PNG of each page into DIR and quit\n"
    "  --help                    show this text\n"
    "  --version                 show the version\n";

}  // namespace

bool Application::ParseArguments(const QStringList& arguments, Options& options, QString& message, int& exitCode)
{
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        const auto value = [&](QString& out) {
            if (i + 1 >= arguments.size())
                return false;
            out = arguments[++i];
            return true;
        };
        QString v;
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            message = QString::fromUtf8(kHelp);
            exitCode = 0;
            return false;
        } else if (a == QLatin1String("--version")) {
            message = QStringLiteral("stelmap " STELMAP_VERSION "\n");
            exitCode = 0;
            return false;
        } else if (a == QLatin1String("--connect") && value(v)) {
            ConnectOption connect;
            if (!ParseConnectOption(v.toStdString(), connect)) {
                message = QStringLiteral("stelmap: --connect wants PORT or PORT@BAUD, not '%1'\n").arg(v);
                exitCode = 2;
                return false;
            }
            options.startup.connect = connect;
        } else if (a == QLatin1String("--screenshot") && value(v)) {
            options.screenshotDir = v;
        } else if (a == QLatin1String("--screenshot-after") && value(v)) {
            bool ok = false;
            options.screenshotAfter = v.toDouble(&ok);
            if (!ok || options.screenshotAfter < 0) {
                message = QStringLiteral("stelmap: --screenshot-after wants a number of seconds, not '%1'\n").arg(v);
                exitCode = 2;
                return false;
            }
        } else {
            message = QStringLiteral("stelmap: unknown or incomplete option '%1'\n\n").arg(a) + QString::fromUtf8(kHelp);
            exitCode = 2;
            return false;
        }
    }
    return true;
}

bool Application::InitInstance(const Options& options)
{
    QCoreApplication::setOrganizationName(QString::fromUtf8(settings_keys::kOrganization));
    QCoreApplication::setApplicationName(QString::fromUtf8(settings_keys::kApplication));
    InitAppResources();
    EnsureTahomaFont();
    RegisterApplicationFonts();

    // The frame reads the saved look as it is built, then it is shown last.
    m_mainFrame = std::make_unique<MainWindow>(options.startup);
    m_mainFrame->show();

    if (!options.screenshotDir.isEmpty()) {
        const QString dir = options.screenshotDir;
        QTimer::singleShot(static_cast<int>(options.screenshotAfter * 1000), m_mainFrame.get(), [this, dir] {
            const QStringList files = m_mainFrame->SaveScreenshots(dir);
            for (const QString& f : files)
                std::fprintf(stdout, "saved %s\n", qPrintable(f));
            std::fflush(stdout);
            m_mainFrame->close();
            QCoreApplication::exit(files.isEmpty() ? 1 : 0);
        });
    }
    return true;
}
