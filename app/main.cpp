#include <QApplication>
#include <cstdio>

#include "app/application.h"

namespace {

QStringList ArgumentsOf(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

}  // namespace

int main(int argc, char** argv)
{
    Application::Options options;
    QString message;
    int exitCode = 0;
    // --help and --version answer before any window system is touched: they
    // must work without a display (help2man runs them while the package is
    // built). Errors wait for QApplication, which takes its own options
    // (-platform, -style ...) out of the list first.
    if (!Application::ParseArguments(ArgumentsOf(argc, argv), options, message, exitCode) && exitCode == 0) {
        std::fputs(qPrintable(message), stdout);
        return 0;
    }
    options = {};
    message.clear();

    QApplication application(argc, argv);
    if (!Application::ParseArguments(QCoreApplication::arguments(), options, message, exitCode)) {
        std::fputs(qPrintable(message), exitCode == 0 ? stdout : stderr);
        return exitCode;
    }
    Application app;
    if (!app.InitInstance(options))
        return 1;
    return QApplication::exec();
}
