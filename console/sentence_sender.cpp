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
    const std::string line = addChecksum ? WithChecksum(text) : std::string(text);
    const bool lineTaken = WritePiece(line);
    Log(line);
    const bool complete = WritePiece("\r\n") && lineTaken;
    if (complete) {
        Log("\n");  // the log shows a line end as one line feed
        return true;
    }
    constexpr std::string_view kNotSent = "Not sent: ";
    std::string why = m_link->LastFailure();
    if (why.starts_with(kNotSent))
        why.erase(0, kNotSent.size());
    if (why.empty())
        why = "the port did not take it";
    Log(" [not sent: " + why + "]\n");
    if (m_refusalNotice)
        m_refusalNotice(std::string(kNotSent) + why);
    return false;
}

bool SentenceSender::WritePiece(std::string_view bytes)
{
    const long written = bytes.empty() ? 0 : m_link->Write(bytes.data(), bytes.size());
    if (m_activityNotice)
        m_activityNotice();
    return written == static_cast<long>(bytes.size());
}

void SentenceSender::Log(std::string_view bytes)
{
    if (m_transmitLog)
        m_transmitLog(bytes);
}
