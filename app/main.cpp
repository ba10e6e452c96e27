#include <QApplication>
#include <cstdio>

#include "app/application.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    CZezevirIdivApp::Options options;
    QString message;
    int exitCode = 0;
    if (!CZezevirIdivApp::ParseArguments(QCoreApplication::arguments(), options, message, exitCode)) {
        std::fputs(qPrintable(message), exitCode == 0 ? stdout : stderr);
        return exitCode;
    }
    CZezevirIdivApp app;
    if (!app.InitInstance(options))
        return 1;
    return QApplication::exec();
}
