#pragma once

#include <QString>
#include <memory>

#include "app/main_window.h"

class QApplication;

// The application object: prepares fonts, pictures and settings, then
// creates and shows the main window, last.
class Application {
public:
    struct Options {
        StartupOptions startup;
        QString screenshotDir;        // save the pages there and quit
        double screenshotAfter = 10;  // seconds
    };

    // Parses the command line; false with `message` (help or error) when
    // the program should not start, `exitCode` telling which.
    static bool ParseArguments(const QStringList& arguments, Options& options, QString& message, int& exitCode);

    bool InitInstance(const Options& options);
    MainWindow* MainFrame() const { return m_mainFrame.get(); }

private:
    std::unique_ptr<MainWindow> m_mainFrame;
};
