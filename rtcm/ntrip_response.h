#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Reads a caster's answer as it arrives, in pieces of any size:
//
//   HTTP/1.1 200 OK             NTRIP 2: headers, then the stream, usually
//   Transfer-Encoding: chunked  chunked ("1A\r\n<26 bytes>\r\n ... 0\r\n\r\n")
//   ICY 200 OK                  NTRIP 1: the stream follows the line at once
//   SOURCETABLE 200 OK          NTRIP 1's source table: headers, then text
//   HTTP/1.1 401 Unauthorized   refusals: the status says why
//
// A caster is a stranger on the network, so nothing it sends may grow
// without bound: the status line and headers together are held to 16 KiB
// and 100 lines, a chunk size to 16 MiB (a chunk is passed on as it comes,
// never held whole), and a chunk size line to 1 KiB. Past any of these the
// reader stops with an error in words.
class NtripResponseReader {
public:
    enum class Protocol { Unknown, Http, Icy, SourceTable };
    enum class State { Status, Headers, Body, Done, Error };

    static constexpr size_t kMaxHeaderBytes = 16 * 1024;
    static constexpr size_t kMaxHeaderLines = 100;
    static constexpr uint64_t kMaxChunkSize = 16u * 1024 * 1024;
    static constexpr size_t kMaxChunkLine = 1024;

    // Appends the body bytes `bytes` completes to `body` (de-chunked).
    State Feed(std::string_view bytes, std::string& body);
    // The connection closed: a body read until close ends here; a cut
    // chunk or header is an error.
    State Close();

    State CurrentState() const { return m_state; }
    bool HeadersDone() const { return m_state == State::Body || m_state == State::Done; }
    Protocol ResponseProtocol() const { return m_protocol; }
    int StatusCode() const { return m_status; }
    const std::string& Reason() const { return m_reason; }
    const std::string& Error() const { return m_error; }
    bool Chunked() const { return m_chunked; }
    // Header names in lower case, values trimmed, in order.
    const std::vector<std::pair<std::string, std::string>>& Headers() const { return m_headers; }
    std::string Header(std::string_view lowerName) const;
    // A source table: NTRIP 1's SOURCETABLE, or a 200 of type gnss/sourcetable.
    bool IsSourceTable() const;

private:
    enum class ChunkPart { Size, Data, DataEnd, Trailer };

    void Fail(std::string why);
    bool TakeLine(std::string_view& bytes, std::string& line, size_t limit, bool& complete);
    void StatusLine(const std::string& line);
    void HeaderLine(const std::string& line);
    void BodyBytes(std::string_view& bytes, std::string& body);
    void ChunkSizeLine(const std::string& line);

    State m_state = State::Status;
    Protocol m_protocol = Protocol::Unknown;
    int m_status = 0;
    std::string m_reason;
    std::string m_error;
    std::vector<std::pair<std::string, std::string>> m_headers;
    std::string m_line;
    size_t m_headerBytes = 0;
    bool m_chunked = false;
    bool m_hasLength = false;
    uint64_t m_remaining = 0;  // of the body (Content-Length) or of the chunk
    ChunkPart m_chunkPart = ChunkPart::Size;
};
