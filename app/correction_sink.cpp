#include "app/correction_sink.h"

#include "console/sentence_link.h"

bool SentenceLinkCorrectionSink::Write(const std::string& frame, std::string* whyNot)
{
    std::string why;
    if (!m_link.IsOpen())
        why = "no receiver is connected";
    else if (m_link.IsPlayback())
        why = "a playback takes no corrections";
    else
        why = m_link.Refusal();
    if (why.empty() && m_link.Write(frame.data(), frame.size()) != static_cast<long>(frame.size())) {
        why = m_link.LastFailure();  // the write queue says why: full, or the source went
        if (why.empty())
            why = "the receiver did not take the whole frame";
    }
    if (!why.empty() && whyNot != nullptr)
        *whyNot = why;
    return why.empty();
}
