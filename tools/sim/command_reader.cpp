#include "tools/sim/command_reader.h"

#include <cstdint>
#include <cstdlib>

namespace {

constexpr size_t kMaxSentence = 82 * 4;  // generous: hosts pad, but never this much

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

}  // namespace

std::vector<NmeaCommand> CommandReader::Feed(std::string_view bytes)
{
    std::vector<NmeaCommand> out;
    for (char c : bytes) {
        if (c == '$') {
            if (m_inSentence)
                ++m_rejected;  // cut short by a new sentence
            m_line.clear();
            m_inSentence = true;
        } else if (!m_inSentence) {
            continue;
        } else if (c == '\r' || c == '\n') {
            Finish(out);
        } else if (m_line.size() >= kMaxSentence) {
            ++m_rejected;
            m_inSentence = false;
        } else {
            m_line += c;
        }
    }
    return out;
}

void CommandReader::Finish(std::vector<NmeaCommand>& out)
{
    m_inSentence = false;
    std::string body = m_line;
    const size_t star = body.find('*');
    if (star != std::string::npos) {
        const std::string sum = body.substr(star + 1);
        body.resize(star);
        uint8_t checksum = 0;
        for (char c : body)
            checksum ^= static_cast<uint8_t>(c);
        if (sum.size() != 2 || HexValue(sum[0]) < 0 || HexValue(sum[1]) < 0 ||
            HexValue(sum[0]) * 16 + HexValue(sum[1]) != checksum) {
            ++m_rejected;
            return;
        }
    }
    if (body.empty()) {
        ++m_rejected;
        return;
    }
    NmeaCommand command;
    size_t start = body.find(',');
    command.address = body.substr(0, start);
    while (start != std::string::npos) {
        const size_t next = body.find(',', start + 1);
        command.fields.push_back(body.substr(start + 1, next == std::string::npos ? std::string::npos : next - start - 1));
        start = next;
    }
    out.push_back(std::move(command));
}
