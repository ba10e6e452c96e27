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
    // took every byte; the sentence is logged either way, as sent, because
    // the receiver may have seen part of it.
    bool SendSentence(std::string_view text, bool addChecksum);

private:
    bool WritePiece(std::string_view bytes, std::string_view logged);

    SentenceLink* m_link = nullptr;
    ActivityNotice m_activityNotice;
    TransmitLog m_transmitLog;
    std::function<void(const std::string&)> m_refusalNotice;
};
