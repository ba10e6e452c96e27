#include <gtest/gtest.h>

#include "rtcm/ntrip_response.h"

namespace {

using State = NtripResponseReader::State;
using Protocol = NtripResponseReader::Protocol;

struct Reading {
    State state;
    std::string body;
    NtripResponseReader reader;
};

Reading ReadInPieces(const std::string& bytes, size_t piece, bool close)
{
    Reading r{State::Status, {}, {}};
    for (size_t i = 0; i < bytes.size() && r.reader.CurrentState() != State::Error; i += piece)
        r.reader.Feed(std::string_view(bytes).substr(i, piece), r.body);
    r.state = close ? r.reader.Close() : r.reader.CurrentState();
    return r;
}

TEST(NtripResponse, AnswersOfEveryKindInAnySplit)
{
    const struct {
        const char* name;
        std::string bytes;
        bool close;
        State state;
        Protocol protocol;
        int status;
        std::string body;
        bool sourceTable;
    } cases[] = {
        {"NTRIP 1 stream", "ICY 200 OK\r\n\xD3\x00\x00\x47\xEA\x4B", false, State::Body, Protocol::Icy, 200, "\xD3\x00\x00\x47\xEA\x4B", false},
        {"NTRIP 2 chunked", "HTTP/1.1 200 OK\r\nNtrip-Version: Ntrip/2.0\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n0A;x=y\r\n0123456789\r\n",
         false, State::Body, Protocol::Http, 200, "abc0123456789", false},
        {"chunked to its end", "HTTP/1.1 200 OK\r\nTransfer-Encoding: Chunked\r\n\r\n2\r\nhi\r\n0\r\nTrailer: x\r\n\r\nignored", false,
         State::Done, Protocol::Http, 200, "hi", false},
        {"source table 1", "SOURCETABLE 200 OK\r\nContent-Type: text/plain\r\n\r\nSTR;A;\r\nENDSOURCETABLE\r\n", true, State::Done,
         Protocol::SourceTable, 200, "STR;A;\r\nENDSOURCETABLE\r\n", true},
        {"source table 2", "HTTP/1.1 200 OK\r\nContent-Type: gnss/sourcetable\r\nContent-Length: 5\r\n\r\nSTR;Bmore", false, State::Done,
         Protocol::Http, 200, "STR;B", true},
        {"401", "HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: Basic realm=\"x\"\r\nContent-Length: 0\r\n\r\n", false, State::Done,
         Protocol::Http, 401, "", false},
        {"404 of NTRIP 1 with a table", "SOURCETABLE 200 OK\r\n\r\n", false, State::Body, Protocol::SourceTable, 200, "", true},
        {"bare LF lines", "HTTP/1.0 404 Not Found\n\nnope", true, State::Done, Protocol::Http, 404, "nope", false},
    };
    for (const auto& c : cases) {
        for (size_t piece : {c.bytes.size(), size_t{1}, size_t{3}}) {
            Reading r = ReadInPieces(c.bytes, piece, c.close);
            EXPECT_EQ(r.state, c.state) << c.name << " / " << piece << ": " << r.reader.Error();
            EXPECT_EQ(r.reader.ResponseProtocol(), c.protocol) << c.name;
            EXPECT_EQ(r.reader.StatusCode(), c.status) << c.name;
            EXPECT_EQ(r.body, c.body) << c.name << " / " << piece;
            EXPECT_EQ(r.reader.IsSourceTable(), c.sourceTable) << c.name;
        }
    }
}

TEST(NtripResponse, HostileAnswersEndInAnErrorInWords)
{
    const std::string ok = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
    std::string manyHeaders = "HTTP/1.1 200 OK\r\n";
    for (int i = 0; i < 150; ++i)
        manyHeaders += "X-A: b\r\n";
    const struct {
        const char* name;
        std::string bytes;
        bool close;
        const char* error;
    } cases[] = {
        {"endless header", "HTTP/1.1 200 OK\r\nX-Long: " + std::string(100000, 'a'), false, "past 16 KiB"},
        {"too many headers", manyHeaders, false, "more than 100 header lines"},
        {"no status line", std::string(20000, 'x'), false, "does not start with a status line"},
        {"not HTTP", "SSH-2.0-OpenSSH\r\n", false, "not HTTP or NTRIP"},
        {"no code", "HTTP/1.1 OK\r\n", false, "no status code"},
        {"chunk of 2^63", ok + "8000000000000000\r\n", false, "larger than 16 MiB"},
        {"chunk of 2^64+1 wraps", ok + "10000000000000001\r\n", false, "larger than 16 MiB"},
        {"chunk size not hex", ok + "zz\r\n", false, "not a hexadecimal number"},
        {"chunk size negative", ok + "-1\r\n", false, "not a hexadecimal number"},
        {"chunk without size", ok + "\r\n", false, "without a size"},
        {"chunk longer than said", ok + "2\r\nabc\r\n", false, "runs past the length"},
        {"chunk size line endless", ok + std::string(5000, '0'), false, "past 1 KiB"},
        {"content length not a number", "HTTP/1.1 200 OK\r\nContent-Length: 99999999999999999999999\r\n\r\n", false, "not a length"},
        {"cut in the headers", "HTTP/1.1 200 OK\r\nServ", true, "in the middle of its answer"},
        {"nothing", "", true, "without answering"},
        {"cut in a chunk", ok + "5\r\nab", true, "in the middle of the stream"},
    };
    for (const auto& c : cases) {
        Reading r = ReadInPieces(c.bytes, 1000, c.close);
        EXPECT_EQ(r.state, State::Error) << c.name;
        EXPECT_NE(r.reader.Error().find(c.error), std::string::npos) << c.name << ": " << r.reader.Error();
        EXPECT_LE(r.body.size(), 3u) << c.name;
    }
}

}  // namespace
