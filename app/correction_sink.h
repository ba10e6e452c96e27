#pragma once

#include <string>

class SentenceLink;

// Where corrections for the shown receiver go: whole RTCM frames, one at a
// time, never cut into by a sentence from the monitor. A sink that cannot
// take them (no receiver, a playback, gpsd, UDP) refuses with the reason.
class CorrectionSink {
public:
    virtual ~CorrectionSink() = default;
    virtual bool Write(const std::string& frame, std::string* whyNot) = 0;
};

// The window's send path: the link the Send box writes to, whose write
// queue takes each frame whole, in order with the sentences, so a frame and
// a sentence never interleave and a stalled receiver never blocks.
class SentenceLinkCorrectionSink final : public CorrectionSink {
public:
    explicit SentenceLinkCorrectionSink(SentenceLink& link) : m_link(link) {}
    bool Write(const std::string& frame, std::string* whyNot) override;

private:
    SentenceLink& m_link;
};
