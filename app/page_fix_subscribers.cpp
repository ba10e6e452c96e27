#include "app/page_fix_subscribers.h"

#include "app/accuracy_feature.h"
#include "app/fix_displays.h"
#include "displays/signals_page_wnd.h"

void FixDisplaysSubscriber::OnFix(const DisplaySnapshot& fix, const GnssSnapshot&) { m_displays.ShowFix(fix); }

void FixDisplaysSubscriber::OnFixesRestart() { m_displays.RestartFixes(); }

void SignalsPageSubscriber::OnFix(const DisplaySnapshot&, const GnssSnapshot&) { m_page.UpdateFromSnapshot(); }

void SignalsPageSubscriber::OnFixesRestart() { m_page.Restart(); }

void AccuracySubscriber::OnFix(const DisplaySnapshot& fix, const GnssSnapshot&) { m_accuracy.ShowFix(fix); }

void AccuracySubscriber::OnFixesRestart() { m_accuracy.StartSession(); }
