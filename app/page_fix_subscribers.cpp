#include "app/page_fix_subscribers.h"

#include <mutex>

#include "analysis/position_plot_wnd.h"
#include "app/page_tabs.h"
#include "displays/front_panel_status_wnd.h"
#include "displays/scatter_plot_wnd.h"
#include "link/link_objects.h"

void SpecifiedPagesSubscriber::OnFix(const DisplaySnapshot& fix)
{
    // The front panel paints from the shared snapshot; a fix from an
    // analysis puts itself there as the link's hand-off does.
    {
        std::lock_guard lock(g_dataLock);
        if (!(g_displaySnapshot == fix))
            g_displaySnapshot = fix;
    }
    m_view.m_wndFrontPanel->UpdateFromSnapshot();
    m_view.m_wndScatterPlot->AddSample(fix.latitude, fix.longitude, fix.altitude, fix.gpsHdop, fix.gpsVdop);
    CPositionPlotWnd* plot = m_view.m_wndPositionPlot;
    plot->OnPositionUpdate(fix.hplCm, fix.hfomCm, fix.latitude, fix.longitude, fix.altitude);
    m_view.m_wndScatterPlot->SetAveragePosition(plot->Statistics().AverageLatitude(),
                                                plot->Statistics().AverageLongitude());
    m_view.m_wndScatterPlot->update();
}

void SpecifiedPagesSubscriber::OnFixesRestart()
{
    // Not the shared snapshot: the link may already hold the next fix there.
    m_view.m_wndFrontPanel->RestartSkyPlot();
    m_view.m_wndScatterPlot->ClearSamples();
    m_view.m_wndPositionPlot->ClearPlots();
}
