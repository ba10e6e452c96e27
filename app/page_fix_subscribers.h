#pragma once

#include "kit/fix_feed.h"

class AccuracyFeature;
class CSignalsPageWnd;
class FixDisplays;

// The pages as subscribers of the fix feed, so that a live fix, a played
// one and one of a whole-file analysis reach them alike. A page added later
// subscribes itself: implement FixSubscriber and call FixFeed::Subscribe
// from the main window.

// The five original pages (front panel, scatter plot, position plot),
// subscribed first.
class FixDisplaysSubscriber : public FixSubscriber {
public:
    explicit FixDisplaysSubscriber(FixDisplays& displays) : m_displays(displays) {}
    void OnFix(const DisplaySnapshot& fix, const GnssSnapshot& gnss) override;
    void OnFixesRestart() override;

private:
    FixDisplays& m_displays;
};

// The Signals page reads the GNSS snapshot the feed handed out last.
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
