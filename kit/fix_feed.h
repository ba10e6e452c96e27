#pragma once

#include <algorithm>
#include <vector>

#include "nmea/display_snapshot.h"
#include "nmea/gnss_snapshot.h"

// A page that follows the fixes. Live, in a playback and in a whole-file
// analysis every fix reaches it through this one call, in order, on the
// GUI thread, so a page cannot tell (and need not care) where fixes come
// from.
class FixSubscriber {
public:
    virtual ~FixSubscriber() = default;
    // One fix, as the display snapshot and the GNSS model's snapshot hold
    // it after its GGA.
    virtual void OnFix(const DisplaySnapshot& fix, const GnssSnapshot& gnss) = 0;
    // A new source or a seek starts over: forget what earlier fixes built.
    virtual void OnFixesRestart() {}
};

// The one per-fix hand-off: the main window publishes, pages subscribe.
class FixFeed {
public:
    void Subscribe(FixSubscriber* subscriber)
    {
        if (std::find(m_subscribers.begin(), m_subscribers.end(), subscriber) == m_subscribers.end())
            m_subscribers.push_back(subscriber);
    }
    void Unsubscribe(FixSubscriber* subscriber)
    {
        m_subscribers.erase(std::remove(m_subscribers.begin(), m_subscribers.end(), subscriber), m_subscribers.end());
    }

    void Publish(const DisplaySnapshot& fix, const GnssSnapshot& gnss)
    {
        m_last = fix;
        m_lastGnss = gnss;
        ++m_count;
        for (FixSubscriber* s : m_subscribers)
            s->OnFix(fix, gnss);
    }
    void Restart()
    {
        m_last = DisplaySnapshot{};
        m_lastGnss = GnssSnapshot{};
        m_count = 0;
        for (FixSubscriber* s : m_subscribers)
            s->OnFixesRestart();
    }

    // The latest fix published (zeroed after Restart), and how many since.
    const DisplaySnapshot& Last() const { return m_last; }
    const GnssSnapshot& LastGnss() const { return m_lastGnss; }
    unsigned long long Count() const { return m_count; }

private:
    std::vector<FixSubscriber*> m_subscribers;
    DisplaySnapshot m_last;
    GnssSnapshot m_lastGnss;
    unsigned long long m_count = 0;
};
