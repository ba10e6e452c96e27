#pragma once

#include <QWidget>

#include "app/fix_displays.h"
#include "app/page_set.h"
#include "app/traffic_log.h"

class QIcon;
class QTabWidget;
class FrontPanelStatusWnd;
class ScatterPlotWnd;
class NmeaMonitorWnd;
class PositionPlotWnd;
class ReceiverCfgWnd;
class CommandActions;

// The five pages as tabs. The pages are created in one order (front panel,
// scatter plot, monitor, position plot, configuration) and shown in another
// (the position plot is the third tab, the monitor the fourth). The main
// window drives them only through the narrow interfaces: the fix displays,
// the traffic log and the set of pages.
class PageTabs : public QWidget, public FixDisplays, public TrafficLog, public PageSet {
public:
    enum PageId : int {
        kFrontPanelId = 102,
        kScatterPlotId = 103,
        kNmeaMonitorId = 104,
        kPositionPlotId = 105,
        kReceiverCfgId = 106,
    };

    PageTabs(CommandActions& commands, QWidget* parent = nullptr);

    // A page of a feature beside the five, as a further tab.
    void AddPage(QWidget* page, const QIcon& icon, const QString& title);

    // FixDisplays
    void SetSnapshotSource(std::function<DisplaySnapshot()> source) override;
    void ShowFix(const DisplaySnapshot& fix) override;
    void SetUserPosition(const UserPosition& position, bool repaint) override;
    void SetDopThreshold(int hundredths) override;
    void SetScatterCenterMode(int mode) override;
    void ClearSatelliteTrails() override;
    void ClearAzElMask() override;
    void ClearScatterPlot() override;
    void ClearPositionPlots() override;
    void ClearAll(int centerMode) override;
    void RestartFixes() override;

    // TrafficLog
    void AppendReceived(std::string_view bytes) override;
    void AppendTransmitted(std::string_view bytes) override;
    void SetSentenceSender(SentenceSender* sender) override;

    // PageSet
    int PageCount() const override;
    int CurrentPage() const override;
    void ShowPage(int index) override;
    QString PageTitle(int index) const override;

    // The pages in tab order.
    QWidget* PageAt(int tab) const;

    // The pages themselves, for tests and for rendering; the main window
    // uses the interfaces above.
    QTabWidget* Tabs() const { return m_wndTabs; }
    FrontPanelStatusWnd* FrontPanel() const { return m_wndFrontPanel; }
    ScatterPlotWnd* ScatterPlot() const { return m_wndScatterPlot; }
    NmeaMonitorWnd* NmeaMonitor() const { return m_wndNmeaMonitor; }
    PositionPlotWnd* PositionPlot() const { return m_wndPositionPlot; }
    ReceiverCfgWnd* ReceiverCfg() const { return m_wndReceiverCfg; }

private:
    QTabWidget* m_wndTabs = nullptr;
    FrontPanelStatusWnd* m_wndFrontPanel = nullptr;
    ScatterPlotWnd* m_wndScatterPlot = nullptr;
    NmeaMonitorWnd* m_wndNmeaMonitor = nullptr;
    PositionPlotWnd* m_wndPositionPlot = nullptr;
    ReceiverCfgWnd* m_wndReceiverCfg = nullptr;
};
