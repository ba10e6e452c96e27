#include "app/page_tabs.h"

#include <QIcon>
#include <QTabWidget>
#include <QVBoxLayout>

#include "analysis/position_plot_wnd.h"
#include "app/app_pictures.h"
#include "console/nmea_monitor_wnd.h"
#include "console/receiver_cfg_wnd.h"
#include "displays/front_panel_status_wnd.h"
#include "displays/scatter_plot_wnd.h"

CChildView::CChildView(CommandActions& commands, QWidget* parent)
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
    m_wndFrontPanel = new CFrontPanelStatusWnd(m_wndTabs);
    m_wndFrontPanel->setObjectName(QStringLiteral("Front Panel Status"));
    m_wndFrontPanel->SetCommandActions(&commands);
    m_wndScatterPlot = new CScatterPlotWnd(m_wndTabs);
    m_wndScatterPlot->setObjectName(QStringLiteral("Scatter Plot"));
    m_wndScatterPlot->SetCommandActions(&commands);
    m_wndScatterPlot->SetContextMenuId(kScatterPlotMenuId);
    m_wndNmeaMonitor = new CNMEAMonitorWnd(m_wndTabs);
    m_wndNmeaMonitor->setObjectName(QStringLiteral("NMEA Monitor"));
    m_wndNmeaMonitor->SetCommandActions(&commands);
    m_wndPositionPlot = new CPositionPlotWnd(commands, m_wndTabs);
    m_wndPositionPlot->setObjectName(QStringLiteral("Position Plot"));
    m_wndReceiverCfg = new CReceiverCfgWnd(m_wndTabs);
    m_wndReceiverCfg->setObjectName(QStringLiteral("Receiver Configuration"));

    m_wndTabs->addTab(m_wndFrontPanel, QIcon(pictures::kTabFrontPanel), QStringLiteral("Front Panel Status"));
    m_wndTabs->addTab(m_wndScatterPlot, QIcon(pictures::kTabScatterPlot), QStringLiteral("Scatter Plot"));
    m_wndTabs->addTab(m_wndPositionPlot, QIcon(pictures::kTabPositionPlot), QStringLiteral("Position Plot"));
    m_wndTabs->addTab(m_wndNmeaMonitor, QIcon(pictures::kTabNmeaMonitor), QStringLiteral("NMEA Monitor"));
    m_wndTabs->addTab(m_wndReceiverCfg, QIcon(pictures::kTabReceiverConfig), QStringLiteral("Receiver Configuration"));
    m_wndTabs->setCurrentIndex(0);
}

QWidget* CChildView::PageAt(int tab) const { return m_wndTabs->widget(tab); }

int CChildView::PageCount() const { return m_wndTabs->count(); }
