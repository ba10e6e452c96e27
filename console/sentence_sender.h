#pragma once

#include <functional>
#include <string>
#include <string_view>

class SentenceLink;

// Writes sentences to the receiver: the text (with '*' and its checksum
// appended on request) in one write, then CR LF in a second. Each write is
// followed by a transmit-activity notice and handed to the transmit log, the
// line end as a single line feed. While no port is open, or a recording is
// played back, nothing is written, noticed or logged.
class SentenceSender {
public:
    using ActivityNotice = std::function<void()>;
    using TransmitLog = std::function<void(std::string_view bytes)>;

    SentenceSender() = default;
    explicit SentenceSender(SentenceLink* link) : m_link(link) {}

    void SetLink(SentenceLink* link) { m_link = link; }
    void SetActivityNotice(ActivityNotice notice) { m_activityNotice = std::move(notice); }
    void SetTransmitLog(TransmitLog log) { m_transmitLog = std::move(log); }
    // Told why, when the link refuses every write: nothing is then written,
    // noticed or logged.
    void SetRefusalNotice(std::function<void(const std::string&)> notice) { m_refusalNotice = std::move(notice); }

    // `text` is the sentence without its line end. Returns true when the port
    // took every byte. The sentence is logged either way; one the link did
    // not take whole ends its log line with "[not sent: WHY]" instead of
    // the line end, and the refusal notice says why.
    bool SendSentence(std::string_view text, bool addChecksum);

private:
    bool WritePiece(std::string_view bytes);
    void Log(std::string_view bytes);

    SentenceLink* m_link = nullptr;
    ActivityNotice m_activityNotice;
    TransmitLog m_transmitLog;
    std::function<void(const std::string&)> m_refusalNotice;
};
