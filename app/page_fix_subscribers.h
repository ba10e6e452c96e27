#pragma once

#include "kit/fix_feed.h"

class AccuracyFeature;
class CSignalsPageWnd;
class FixDisplays;
struct LinkObjects;

// The pages as subscribers of the fix feed, so that a live fix, a played
// one and one of a whole-file analysis reach them alike. A page added later
// subscribes itself: implement FixSubscriber and call FixFeed::Subscribe
// from the main window.

// The five original pages (front panel, scatter plot, position plot).
// Subscribed first: the pages that read the link's snapshots find there
// the fix being published, as the link's hand-off leaves them.
class FixDisplaysSubscriber : public FixSubscriber {
public:
    FixDisplaysSubscriber(const LinkObjects& link, FixDisplays& displays) : m_link(link), m_displays(displays) {}
    void OnFix(const DisplaySnapshot& fix, const GnssSnapshot& gnss) override;
    void OnFixesRestart() override;

private:
    const LinkObjects& m_link;
    FixDisplays& m_displays;
};

// The Signals page reads the GNSS snapshot through its own source.
class SignalsPageSubscriber : public FixSubscriber {
public:
    explicit SignalsPageSubscriber(CSignalsPageWnd& page) : m_page(page) {}
    void OnFix(const DisplaySnapshot& fix, const GnssSnapshot& gnss) override;
    void OnFixesRestart() override;

private:
    CSignalsPageWnd& m_page;
};

// The Accuracy page: a restart (seek, analysis) starts its session afresh.
class AccuracySubscriber : public FixSubscriber {
public:
    explicit AccuracySubscriber(AccuracyFeature& accuracy) : m_accuracy(accuracy) {}
    void OnFix(const DisplaySnapshot& fix, const GnssSnapshot& gnss) override;
    void OnFixesRestart() override;

private:
    AccuracyFeature& m_accuracy;
};
