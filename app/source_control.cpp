#include "app/source_control.h"

#include "app/status_pane.h"

#include <QAction>
#include <QDialog>
#include <QEventLoop>
#include <QLabel>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QStatusBar>
#include <QVBoxLayout>
#include <thread>

#include "app/app_settings.h"
#include "kit/command_actions.h"
#include "kit/command_ids.h"
#include "kit/page_painting.h"
#include "link/link_threads.h"

namespace {

QString Text(const std::string& s) { return QString::fromStdString(s); }

constexpr int kUpdateMs = 1000;
constexpr int kSearchStepMs = 100;
constexpr int kProgressAfterMs = 300;

double SecondsBetween(LinkHealthTotals::TimePoint from, LinkHealthTotals::TimePoint to)
{
    return std::chrono::duration<double>(to - from).count();
}

}  // namespace

SourceControl::SourceControl(QMainWindow& window, LinkObjects link, LinkThreads& threads, CommandActions& commands)
    : QObject(&window)
    , m_window(window)
    , m_link(link)
    , m_threads(threads)
    , m_commands(commands)
{
    // Like the other panes, these give way in a narrow window: they
    // end in "…" and carry their whole text as a tooltip.
    m_sourcePane = new CStatusPane(QString(), QString(), QStringLiteral("…"), &window);
    m_sourcePane->setObjectName(QStringLiteral("sourcePane"));
    m_healthPane = new CStatusPane(QString(), QString(), QStringLiteral("…"), &window);
    m_healthPane->setObjectName(QStringLiteral("healthPane"));
    window.statusBar()->addPermanentWidget(m_sourcePane);
    window.statusBar()->addPermanentWidget(m_healthPane);

    QAction* reconnect = m_commands.ActionFor(kCmdReconnectAutomatically);
    reconnect->setCheckable(true);
    reconnect->setChecked(ReadReconnectAutomatically());
    m_threads.SetReconnect(reconnect->isChecked());
    connect(reconnect, &QAction::toggled, this, [this](bool on) {
        m_threads.SetReconnect(on);
        if (!WriteReconnectAutomatically(on))
            m_window.statusBar()->showMessage(tr("Reconnect Automatically could not be saved in the settings."), 5000);
    });
    connect(m_commands.ActionFor(kCmdLinkHealth), &QAction::triggered, this, [this] { ShowHealthDialog(); });
    connect(m_commands.ActionFor(kCmdFindBaudRate), &QAction::triggered, this, [this] {
        if (m_link.sio.IsPseudoTerminal()) {
            m_window.statusBar()->showMessage(PseudoTerminalText());
            return;
        }
        FindBaudRate();
    });

    m_timer.setInterval(kUpdateMs);
    connect(&m_timer, &QTimer::timeout, this, &SourceControl::Update);
    m_timer.start();
    m_searchTimer.setInterval(kSearchStepMs);
    connect(&m_searchTimer, &QTimer::timeout, this, &SourceControl::StepBaudSearch);
    Update();
}

SourceControl::~SourceControl() = default;

SourceHandle SourceControl::OpenWithoutFreezing(const std::string& text, int baudRate)
{
    struct Shared {
        SourceHandle handle;
    };
    auto shared = std::make_shared<Shared>();
    QEventLoop loop;
    std::thread worker([shared, text, baudRate, &loop] {
        shared->handle = OpenSourceHandle(text, baudRate);
        QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
    });
    // Modal, so that nothing else is asked of the window meanwhile; shown
    // only when the open takes long enough to be noticed.
    QProgressDialog note(tr("Connecting to %1...").arg(Text(text)), QString(), 0, 0, &m_window);
    note.setWindowModality(Qt::WindowModal);
    note.setMinimumDuration(kProgressAfterMs);
    note.setValue(0);
    loop.exec();
    worker.join();
    return std::move(shared->handle);
}

void SourceControl::OnReceiverLost()
{
    m_lost = true;
    Update();
}

void SourceControl::OnSourceChanged()
{
    m_lost = false;
    m_search.reset();
    m_searchTimer.stop();
}

int SourceControl::LineBaudRate(const SourceState& state) const
{
    // A network source or a pseudo-terminal has no line to load.
    return state.network || m_link.sio.IsPseudoTerminal() ? 0 : state.baudRate;
}

QString SourceControl::PseudoTerminalText() const
{
    return tr("%1 is a pseudo-terminal: it carries bytes at any rate and has no baud rate to find.")
        .arg(Text(m_link.sio.DevicePath()));
}

SourceState SourceControl::CurrentState(const LinkHealthTotals& totals, LinkHealthTotals::TimePoint now) const
{
    SourceState state;
    CSio& sio = m_link.sio;
    state.open = sio.IsOpen();
    state.playback = sio.IsPlayback();
    state.retrying = m_threads.IsRetrying();
    state.lost = m_lost;
    state.network = sio.Kind() != SourceKind::Serial;
    state.name = sio.DevicePath();
    state.playbackFile = sio.PlaybackFile();
    state.baudRate = sio.BaudRate();
    const LinkHealthTotals::TimePoint since = totals.bytes > 0 ? totals.lastByte : totals.start;
    state.silentSeconds = since == LinkHealthTotals::TimePoint{} ? 0 : SecondsBetween(since, now);
    return state;
}

void SourceControl::Update()
{
    const LinkHealthTotals::TimePoint now = std::chrono::steady_clock::now();
    const LinkHealthTotals totals = ReadLinkHealth(m_link);
    const SourceState state = CurrentState(totals, now);
    if (state.open)
        m_lost = m_lost && !state.open;
    const QString source = Text(SourcePaneText(state));
    if (m_sourcePane->text() != source)
        m_sourcePane->setText(source);

    if (m_lastAt != LinkHealthTotals::TimePoint{})
        m_rates = ComputeHealthRates(m_lastTotals, m_lastAt, totals, now, LineBaudRate(state));
    m_lastTotals = totals;
    m_lastAt = now;
    const bool live = state.open && !state.playback;
    m_healthPane->setText(live ? Text(HealthPaneText(m_rates)) : QString());
    m_healthPane->setToolTip(live ? Text(HealthReportText(m_rates, totals)) : QString());
    if (m_healthDialog) {
        FollowPageColours();
        m_healthText->setPlainText(Text(SourcePaneText(state)) + QLatin1Char('\n') +
                                   (live && m_link.sio.IsPseudoTerminal() ? PseudoTerminalText() + QLatin1Char('\n') : QString()) +
                                   Text(HealthReportText(m_rates, totals)));
    }

    // Once per source: the hint and the way to act on it.
    const bool pty = live && m_link.sio.IsPseudoTerminal();
    const std::string warning = live && !m_search ? NoNmeaWarning(totals, now, LineBaudRate(state)) : std::string();
    if (!warning.empty() && m_warnedFor != totals.start) {
        m_warnedFor = totals.start;
        m_window.statusBar()->showMessage(
            Text(warning) + (state.network || pty ? QString() : tr(" Try Tools > Find Baud Rate.")));
    }
    QAction* find = m_commands.ActionFor(kCmdFindBaudRate);
    find->setEnabled(live && !state.network && !pty && !m_search);
    find->setStatusTip(pty ? PseudoTerminalText() : QString());
}

void SourceControl::ShowHealthDialog()
{
    if (!m_healthDialog) {
        m_healthDialog = new QDialog(&m_window);
        m_healthDialog->setObjectName(QStringLiteral("linkHealthDialog"));
        m_healthDialog->setWindowTitle(tr("Link Health"));
        m_healthDialog->setAttribute(Qt::WA_DeleteOnClose);
        m_healthText = new QPlainTextEdit(m_healthDialog);
        m_healthText->setObjectName(QStringLiteral("linkHealthText"));
        m_healthText->setReadOnly(true);
        auto* layout = new QVBoxLayout(m_healthDialog);
        layout->addWidget(m_healthText);
        m_healthDialog->resize(420, 320);
    }
    Update();
    m_healthDialog->show();
    m_healthDialog->raise();
}

void SourceControl::FollowPageColours()
{
    // A report read beside the pages: in their colours, dark in a dark look.
    QColor background, text;
    GetPageColors(background, text);
    QPalette palette = m_healthText->palette();
    if (palette.color(QPalette::Base) == background && palette.color(QPalette::Text) == text)
        return;
    palette.setColor(QPalette::Base, background);
    palette.setColor(QPalette::Text, text);
    m_healthText->setPalette(palette);
}

void SourceControl::FindBaudRate()
{
    if (m_search || !m_link.sio.IsOpen() || m_link.sio.IsPlayback() || m_link.sio.Kind() != SourceKind::Serial)
        return;
    m_searchDevice = m_link.sio.DevicePath();
    m_searchStartRate = m_link.sio.BaudRate();
    m_search = std::make_unique<BaudSearch>();
    // The same device at another rate: closed first, as a reopen always is.
    if (!m_link.sio.OpenSource(m_searchDevice, m_search->Rate())) {
        m_window.statusBar()->showMessage(tr("Find Baud Rate: %1 could not be opened: %2")
                                              .arg(Text(m_searchDevice), Text(m_link.sio.LastOpenErrorText())));
        m_search.reset();
        return;
    }
    m_rateSince = std::chrono::steady_clock::now();
    m_window.statusBar()->showMessage(tr("Finding the baud rate: trying %1...").arg(m_search->Rate()));
    m_searchTimer.start();
}

void SourceControl::StepBaudSearch()
{
    if (!m_search) {
        m_searchTimer.stop();
        return;
    }
    const LinkHealthTotals totals = ReadLinkHealth(m_link);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - m_rateSince).count();
    const int tried = m_search->Rate();
    switch (m_search->Update(totals.sentences, seconds)) {
    case BaudSearch::Step::Wait:
        return;
    case BaudSearch::Step::TryNext:
        m_link.sio.OpenSource(m_searchDevice, m_search->Rate());
        m_rateSince = std::chrono::steady_clock::now();
        m_window.statusBar()->showMessage(tr("Finding the baud rate: trying %1...").arg(m_search->Rate()));
        return;
    case BaudSearch::Step::Found:
        m_searchTimer.stop();
        m_search.reset();
        m_window.statusBar()->showMessage(
            tr("Found the baud rate: %1 gives NMEA on %2.").arg(tried).arg(Text(m_searchDevice)));
        if (!WriteBaud(tried))
            m_window.statusBar()->showMessage(tr("Found %1 baud, but it could not be saved in the settings.").arg(tried));
        return;
    case BaudSearch::Step::NoneFound:
        m_searchTimer.stop();
        m_search.reset();
        m_link.sio.OpenSource(m_searchDevice, m_searchStartRate);
        m_window.statusBar()->showMessage(
            tr("No baud rate from 4800 to 921600 gave NMEA on %1; back at %2 baud.")
                .arg(Text(m_searchDevice))
                .arg(m_searchStartRate));
        return;
    }
}
