#pragma once

#include <QWidget>

class QTabWidget;
class CFrontPanelStatusWnd;
class CScatterPlotWnd;
class CNMEAMonitorWnd;
class CPositionPlotWnd;
class CReceiverCfgWnd;
class CommandActions;

// The five pages as tabs. The pages are created in one order (front panel,
// scatter plot, monitor, position plot, configuration) and shown in another
// (the position plot is the third tab, the monitor the fourth); the main
// window reaches each page directly through the members.
class CChildView : public QWidget {
public:
    enum PageId : int {
        kFrontPanelId = 102,
        kScatterPlotId = 103,
        kNmeaMonitorId = 104,
        kPositionPlotId = 105,
        kReceiverCfgId = 106,
    };
    static constexpr int kScatterPlotMenuId = 104;

    CChildView(CommandActions& commands, QWidget* parent = nullptr);

    QTabWidget* m_wndTabs = nullptr;
    CFrontPanelStatusWnd* m_wndFrontPanel = nullptr;
    CScatterPlotWnd* m_wndScatterPlot = nullptr;
    CNMEAMonitorWnd* m_wndNmeaMonitor = nullptr;
    CPositionPlotWnd* m_wndPositionPlot = nullptr;
    CReceiverCfgWnd* m_wndReceiverCfg = nullptr;

    // The pages in tab order, with their titles.
    QWidget* PageAt(int tab) const;
    int PageCount() const;
};
