#pragma once

#include <string>

class FixFeed;

// When the pages that gather fixes (scatter samples, position plots and
// their statistics, accuracy figures, Signals trails) start afresh: with a
// playback, an analysis, or a live source other than the one they show. A
// reconnect of that same source keeps what they gathered, so one receiver's
// fixes are never mixed with another's.
class PageRestart {
public:
    explicit PageRestart(FixFeed& feed) : m_feed(feed) {}

    // A live source opened (its text as typed): afresh unless the pages
    // already show this source.
    void SourceOpened(const std::string& source);
    // A file is played back or analysed: always afresh.
    void FileStarted();

private:
    void Restart(const std::string& source);

    FixFeed& m_feed;
    std::string m_source;  // the live source the pages show; empty for a file or none
};
