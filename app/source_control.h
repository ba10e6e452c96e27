#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <chrono>
#include <memory>
#include <string>

#include "link/link_health.h"
#include "link/link_objects.h"
#include "link/serial_port.h"
#include "link/source_status.h"

class CommandActions;
class LinkThreads;
class QDialog;
class QLabel;
class QMainWindow;
class QPlainTextEdit;

// The main window's side of the sources: the status panes that name the
// source and its health, opening a source without freezing the window,
// Reconnect Automatically, the Link Health dialog and Find Baud Rate.
class SourceControl : public QObject {
    Q_OBJECT

public:
    SourceControl(QMainWindow& window, LinkObjects link, LinkThreads& threads, CommandActions& commands);
    ~SourceControl() override;

    // Opens `text` on a worker thread while the window's events keep
    // running (a modal progress note shows if it takes a moment). The
    // current source is untouched.
    SourceHandle OpenWithoutFreezing(const std::string& text, int baudRate);

    // The window's link lost its source: remembered for the pane.
    void OnReceiverLost();
    // Before the window opens or closes a source itself.
    void OnSourceChanged();

    // Recomputes the panes and the no-NMEA warning (once a second).
    void Update();

    QLabel* SourcePane() const { return m_sourcePane; }
    QLabel* HealthPane() const { return m_healthPane; }
    bool FindingBaudRate() const { return m_search != nullptr; }

    // Find Baud Rate without the menu; the result comes as a status message.
    void FindBaudRate();

private:
    void StepBaudSearch();
    void ShowHealthDialog();
    // The rate that loads the line; 0 where there is none.
    int LineBaudRate(const SourceState& state) const;
    QString PseudoTerminalText() const;
    void FollowPageColours();
    SourceState CurrentState(const LinkHealthTotals& totals, LinkHealthTotals::TimePoint now) const;

    QMainWindow& m_window;
    LinkObjects m_link;
    LinkThreads& m_threads;
    CommandActions& m_commands;
    QLabel* m_sourcePane = nullptr;
    QLabel* m_healthPane = nullptr;
    QTimer m_timer;
    bool m_lost = false;

    LinkHealthTotals m_lastTotals;
    LinkHealthTotals::TimePoint m_lastAt{};
    HealthRates m_rates;
    LinkHealthTotals::TimePoint m_warnedFor{};  // the source start the warning was shown for

    QPointer<QDialog> m_healthDialog;
    QPlainTextEdit* m_healthText = nullptr;

    std::unique_ptr<BaudSearch> m_search;
    std::string m_searchDevice;
    int m_searchStartRate = 0;
    std::chrono::steady_clock::time_point m_rateSince{};
    QTimer m_searchTimer;
};
