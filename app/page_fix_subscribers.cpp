#include "app/page_fix_subscribers.h"

#include <mutex>

#include "app/accuracy_feature.h"
#include "app/fix_displays.h"
#include "displays/signals_page_wnd.h"
#include "link/link_objects.h"

void FixDisplaysSubscriber::OnFix(const DisplaySnapshot& fix, const GnssSnapshot& gnss)
{
    // The front panel and the Signals page paint from the shared snapshots;
    // a fix from an analysis puts itself there as the link's hand-off does.
    {
        std::lock_guard lock(m_link.dataLock);
        if (!(m_link.snapshot == fix))
            m_link.snapshot = fix;
        if (m_link.gnssSnapshot != nullptr && !(*m_link.gnssSnapshot == gnss))
            *m_link.gnssSnapshot = gnss;
    }
    m_displays.ShowFix(fix);
}

void FixDisplaysSubscriber::OnFixesRestart()
{
    // Not the shared snapshot: the link may already hold the next fix there.
    m_displays.RestartFixes();
}

void SignalsPageSubscriber::OnFix(const DisplaySnapshot&, const GnssSnapshot&) { m_page.UpdateFromSnapshot(); }

void SignalsPageSubscriber::OnFixesRestart() { m_page.Restart(); }

void AccuracySubscriber::OnFix(const DisplaySnapshot& fix, const GnssSnapshot&) { m_accuracy.ShowFix(fix); }

void AccuracySubscriber::OnFixesRestart() { m_accuracy.StartSession(); }
