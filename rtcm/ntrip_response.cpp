#include "rtcm/ntrip_response.h"

#include <algorithm>

namespace {

std::string Lower(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}  // namespace

void NtripResponseReader::Fail(std::string why)
{
    m_state = State::Error;
    m_error = std::move(why);
    m_line.clear();
}

// Takes bytes up to and including '\n' into `line` (without CR LF).
// `complete` tells whether the line ended; false with the bytes used up
// means more must come. Returns false when the line outgrew `limit`.
bool NtripResponseReader::TakeLine(std::string_view& bytes, std::string& line, size_t limit, bool& complete)
{
    const size_t end = bytes.find('\n');
    const size_t take = end == std::string_view::npos ? bytes.size() : end;
    if (m_line.size() + take > limit)
        return false;
    m_line.append(bytes.substr(0, take));
    complete = end != std::string_view::npos;
    bytes.remove_prefix(complete ? end + 1 : bytes.size());
    if (complete) {
        if (!m_line.empty() && m_line.back() == '\r')
            m_line.pop_back();
        line = std::move(m_line);
        m_line.clear();
    }
    return true;
}

NtripResponseReader::State NtripResponseReader::Feed(std::string_view bytes, std::string& body)
{
    while (!bytes.empty() && m_state != State::Error && m_state != State::Done) {
        if (m_state == State::Body) {
            BodyBytes(bytes, body);
            continue;
        }
        std::string line;
        bool complete = false;
        const size_t before = bytes.size();
        const size_t room = kMaxHeaderBytes > m_headerBytes ? kMaxHeaderBytes - m_headerBytes : 0;
        if (!TakeLine(bytes, line, room, complete)) {
            Fail(m_state == State::Status ? "the caster's answer does not start with a status line"
                                          : "the caster's headers go on past 16 KiB");
            break;
        }
        m_headerBytes += before - bytes.size();
        if (!complete)
            break;
        if (m_state == State::Status)
            StatusLine(line);
        else
            HeaderLine(line);
    }
    return m_state;
}

void NtripResponseReader::StatusLine(const std::string& line)
{
    const size_t space = line.find(' ');
    const std::string version = line.substr(0, space);
    const std::string rest = space == std::string::npos ? std::string() : line.substr(space + 1);
    if (version == "ICY")
        m_protocol = Protocol::Icy;
    else if (version == "SOURCETABLE")
        m_protocol = Protocol::SourceTable;
    else if (version.starts_with("HTTP/1."))
        m_protocol = Protocol::Http;
    else {
        Fail("the caster's answer is not HTTP or NTRIP");
        return;
    }
    const size_t codeEnd = rest.find(' ');
    const std::string code = rest.substr(0, codeEnd);
    if (code.size() != 3 || !std::all_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        Fail("the caster's status line has no status code");
        return;
    }
    m_status = std::stoi(code);
    m_reason = codeEnd == std::string::npos ? std::string() : rest.substr(codeEnd + 1);
    // NTRIP 1's stream follows its status line without headers.
    m_state = m_protocol == Protocol::Icy ? State::Body : State::Headers;
}

void NtripResponseReader::HeaderLine(const std::string& line)
{
    if (line.empty()) {
        const std::string encoding = Lower(Header("transfer-encoding"));
        m_chunked = encoding.find("chunked") != std::string::npos;
        const std::string length = Header("content-length");
        if (!m_chunked && !length.empty()) {
            uint64_t value = 0;
            for (char c : length) {
                if (c < '0' || c > '9' || value > (UINT64_MAX - 9) / 10) {
                    Fail("the caster sent a Content-Length that is not a length");
                    return;
                }
                value = value * 10 + static_cast<uint64_t>(c - '0');
            }
            m_hasLength = true;
            m_remaining = value;
        }
        m_state = m_hasLength && m_remaining == 0 ? State::Done : State::Body;
        return;
    }
    if (m_headers.size() >= kMaxHeaderLines) {
        Fail("the caster sends more than 100 header lines");
        return;
    }
    const size_t colon = line.find(':');
    if (colon == std::string::npos || colon == 0) {
        Fail("the caster sent a header line without a name");
        return;
    }
    m_headers.emplace_back(Lower(Trim(std::string_view(line).substr(0, colon))),
                           std::string(Trim(std::string_view(line).substr(colon + 1))));
}

void NtripResponseReader::BodyBytes(std::string_view& bytes, std::string& body)
{
    if (!m_chunked) {
        size_t take = bytes.size();
        if (m_hasLength)
            take = static_cast<size_t>(std::min<uint64_t>(take, m_remaining));
        body.append(bytes.substr(0, take));
        bytes.remove_prefix(take);
        if (m_hasLength) {
            m_remaining -= take;
            if (m_remaining == 0)
                m_state = State::Done;
        }
        return;
    }
    switch (m_chunkPart) {
    case ChunkPart::Data: {
        const size_t take = static_cast<size_t>(std::min<uint64_t>(bytes.size(), m_remaining));
        body.append(bytes.substr(0, take));
        bytes.remove_prefix(take);
        m_remaining -= take;
        if (m_remaining == 0)
            m_chunkPart = ChunkPart::DataEnd;
        return;
    }
    case ChunkPart::Size:
    case ChunkPart::DataEnd:
    case ChunkPart::Trailer: {
        std::string line;
        bool complete = false;
        if (!TakeLine(bytes, line, kMaxChunkLine, complete)) {
            Fail("the caster sent a chunk size line past 1 KiB");
            return;
        }
        if (!complete)
            return;
        if (m_chunkPart == ChunkPart::DataEnd) {
            if (!line.empty())
                Fail("a chunk runs past the length it announced");
            else
                m_chunkPart = ChunkPart::Size;
        } else if (m_chunkPart == ChunkPart::Trailer) {
            if (line.empty())
                m_state = State::Done;
        } else {
            ChunkSizeLine(line);
        }
        return;
    }
    }
}

void NtripResponseReader::ChunkSizeLine(const std::string& line)
{
    const std::string_view size = Trim(std::string_view(line).substr(0, line.find(';')));
    if (size.empty()) {
        Fail("the caster sent a chunk without a size");
        return;
    }
    uint64_t value = 0;
    for (char c : size) {
        const int digit = HexDigit(c);
        if (digit < 0) {
            Fail("the caster sent a chunk size that is not a hexadecimal number");
            return;
        }
        value = value * 16 + static_cast<uint64_t>(digit);
        if (value > kMaxChunkSize) {
            Fail("the caster announced a chunk larger than 16 MiB");
            return;
        }
    }
    m_remaining = value;
    m_chunkPart = value == 0 ? ChunkPart::Trailer : ChunkPart::Data;
}

NtripResponseReader::State NtripResponseReader::Close()
{
    switch (m_state) {
    case State::Status:
    case State::Headers:
        Fail(m_state == State::Status && m_line.empty() && m_headerBytes == 0
                 ? "the caster closed the connection without answering"
                 : "the caster closed the connection in the middle of its answer");
        break;
    case State::Body:
        if (m_chunked || m_hasLength)
            Fail("the caster closed the connection in the middle of the stream");
        else
            m_state = State::Done;
        break;
    case State::Done:
    case State::Error:
        break;
    }
    return m_state;
}

std::string NtripResponseReader::Header(std::string_view lowerName) const
{
    for (const auto& [name, value] : m_headers)
        if (name == lowerName)
            return value;
    return {};
}

bool NtripResponseReader::IsSourceTable() const
{
    if (m_protocol == Protocol::SourceTable)
        return true;
    return m_protocol == Protocol::Http && m_status == 200 &&
           Lower(Header("content-type")).find("gnss/sourcetable") != std::string::npos;
}
