#include "console/sentence_sender.h"

#include <string>

#include "console/sentence_checksum.h"
#include "console/sentence_link.h"

bool SentenceSender::SendSentence(std::string_view text, bool addChecksum)
{
    if (m_link == nullptr || m_link->IsPlayback() || !m_link->IsOpen())
        return false;
    if (const std::string why = m_link->Refusal(); !why.empty()) {
        if (m_refusalNotice)
            m_refusalNotice(why);
        return false;
    }
    bool complete;
    if (addChecksum) {
        const std::string line = WithChecksum(text);
        complete = WritePiece(line, line);
    } else {
        complete = WritePiece(text, text);
    }
    // The log shows a line end as one line feed.
    complete = WritePiece("\r\n", "\n") && complete;
    return complete;
}

bool SentenceSender::WritePiece(std::string_view bytes, std::string_view logged)
{
    const long written = bytes.empty() ? 0 : m_link->Write(bytes.data(), bytes.size());
    if (m_activityNotice)
        m_activityNotice();
    if (m_transmitLog)
        m_transmitLog(logged);
    return written == static_cast<long>(bytes.size());
}
