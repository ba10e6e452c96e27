#include "app/page_tabs.h"

#include <QIcon>
#include <QTabWidget>
#include <QVBoxLayout>

#include "analysis/position_plot_wnd.h"
#include "app/app_pictures.h"
#include "app/frame_texts.h"
#include "console/log_edit_ctrl.h"
#include "console/nmea_monitor_wnd.h"
#include "console/receiver_cfg_wnd.h"
#include "displays/front_panel_status_wnd.h"
#include "displays/scatter_plot_wnd.h"
#include "kit/page_menus.h"

PageTabs::PageTabs(CommandActions& commands, QWidget* parent)
    : QWidget(parent)
{
    m_wndTabs = new QTabWidget(this);
    m_wndTabs->setObjectName(QStringLiteral("m_wndTabs"));
    m_wndTabs->setDocumentMode(true);
    m_wndTabs->setTabsClosable(false);
    m_wndTabs->setMovable(false);
    m_wndTabs->setIconSize(QSize(16, 16));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_wndTabs);

    // Creation order matters to nobody but is kept; tab order is below.
    m_wndFrontPanel = new FrontPanelStatusWnd(m_wndTabs);
    m_wndFrontPanel->setObjectName(QStringLiteral("Front Panel Status"));
    m_wndFrontPanel->SetCommandActions(&commands);
    m_wndScatterPlot = new ScatterPlotWnd(m_wndTabs);
    m_wndScatterPlot->setObjectName(QStringLiteral("Scatter Plot"));
    m_wndScatterPlot->SetCommandActions(&commands);
    m_wndScatterPlot->SetContextMenuId(kScatterPlotMenuId);
    m_wndNmeaMonitor = new NmeaMonitorWnd(m_wndTabs);
    m_wndNmeaMonitor->setObjectName(QStringLiteral("NMEA Monitor"));
    m_wndNmeaMonitor->SetCommandActions(&commands);
    m_wndPositionPlot = new PositionPlotWnd(commands, m_wndTabs);
    m_wndPositionPlot->setObjectName(QStringLiteral("Position Plot"));
    m_wndReceiverCfg = new ReceiverCfgWnd(m_wndTabs);
    m_wndReceiverCfg->setObjectName(QStringLiteral("Receiver Configuration"));

    m_wndTabs->addTab(m_wndFrontPanel, QIcon(pictures::kTabFrontPanel), QStringLiteral("Front Panel Status"));
    m_wndTabs->addTab(m_wndScatterPlot, QIcon(pictures::kTabScatterPlot), QStringLiteral("Scatter Plot"));
    m_wndTabs->addTab(m_wndPositionPlot, QIcon(pictures::kTabPositionPlot), QStringLiteral("Position Plot"));
    m_wndTabs->addTab(m_wndNmeaMonitor, QIcon(pictures::kTabNmeaMonitor), QStringLiteral("NMEA Monitor"));
    m_wndTabs->addTab(m_wndReceiverCfg, QIcon(pictures::kTabReceiverConfig), QStringLiteral("Receiver Configuration"));
    m_wndTabs->setCurrentIndex(0);
}

void PageTabs::AddPage(QWidget* page, const QIcon& icon, const QString& title)
{
    m_wndTabs->addTab(page, icon, title);
}

QWidget* PageTabs::PageAt(int tab) const { return m_wndTabs->widget(tab); }

int PageTabs::PageCount() const { return m_wndTabs->count(); }

int PageTabs::CurrentPage() const { return m_wndTabs->currentIndex(); }

void PageTabs::ShowPage(int index) { m_wndTabs->setCurrentIndex(index); }

QString PageTabs::PageTitle(int index) const { return m_wndTabs->tabText(index); }

// ---------------------------------------------------------------- fix displays

void PageTabs::SetSnapshotSource(std::function<DisplaySnapshot()> source)
{
    m_wndFrontPanel->SetSnapshotSource(std::move(source));
}

void PageTabs::ShowFix(const DisplaySnapshot& fix)
{
    m_wndFrontPanel->UpdateFromSnapshot();
    m_wndScatterPlot->AddSample(fix.latitude, fix.longitude, fix.altitude, fix.gpsHdop, fix.gpsVdop);
    m_wndPositionPlot->OnPositionUpdate(fix.hplCm, fix.hfomCm, fix.latitude, fix.longitude, fix.altitude);
    const PositionStatistics& statistics = m_wndPositionPlot->Statistics();
    m_wndScatterPlot->SetAveragePosition(statistics.AverageLatitude(), statistics.AverageLongitude());
    m_wndScatterPlot->update();
}

void PageTabs::SetUserPosition(const UserPosition& position, bool repaint)
{
    m_wndScatterPlot->SetUserPosition(position.latitude, position.longitude, position.altitude);
    if (repaint)
        m_wndScatterPlot->update();
    m_wndPositionPlot->SetUserPosition(position.latitude, position.longitude, position.altitude);
    if (repaint)
        m_wndPositionPlot->update();
}

void PageTabs::SetDopThreshold(int hundredths) { m_wndScatterPlot->SetDopThreshold(hundredths); }

void PageTabs::SetScatterCenterMode(int mode) { m_wndScatterPlot->SetCenterMode(mode); }

void PageTabs::ClearSatelliteTrails() { m_wndFrontPanel->ClearSatelliteTrails(); }

void PageTabs::ClearAzElMask() { m_wndFrontPanel->ClearAzElMask(); }

void PageTabs::ClearScatterPlot()
{
    m_wndScatterPlot->ClearSamples();
    m_wndScatterPlot->SetCenterMode(2);
}

void PageTabs::ClearPositionPlots() { m_wndPositionPlot->ClearPlots(); }

void PageTabs::ClearAll(int centerMode)
{
    m_wndFrontPanel->ClearSatelliteTrails();
    m_wndFrontPanel->ClearAzElMask();
    m_wndPositionPlot->ClearPlots();
    m_wndScatterPlot->ClearSamples();
    m_wndScatterPlot->SetCenterMode(centerMode);
    m_wndScatterPlot->update();
}

void PageTabs::RestartFixes()
{
    m_wndFrontPanel->RestartSkyPlot();
    m_wndScatterPlot->ClearSamples();
    m_wndPositionPlot->ClearPlots();
}

// ---------------------------------------------------------------- traffic log

void PageTabs::AppendReceived(std::string_view bytes)
{
    const std::string shown = ReceivedTextForLog(bytes);
    if (!shown.empty())
        m_wndNmeaMonitor->EditRx()->AppendText(NmeaMonitorWnd::kReceiveColour,
                                               QString::fromLatin1(shown.data(), static_cast<int>(shown.size())));
}

void PageTabs::AppendTransmitted(std::string_view bytes) { m_wndNmeaMonitor->AppendTransmitted(bytes); }

void PageTabs::SetSentenceSender(SentenceSender* sender)
{
    m_wndNmeaMonitor->SetSentenceSender(sender);
    m_wndReceiverCfg->SetSentenceSender(sender);
}
