// Feeds arbitrary caster answers to the response reader, whole and split at
// a point the input chooses, and checks that both readings agree, that the
// body never holds more than was sent and that the reader's own buffers
// stay within their limits.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "rtcm/ntrip_response.h"
#include "rtcm/source_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const size_t split = data[0] % size;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    NtripResponseReader whole;
    std::string wholeBody;
    whole.Feed(bytes, wholeBody);
    NtripResponseReader pieces;
    std::string piecesBody;
    pieces.Feed(bytes.substr(0, std::min(split, bytes.size())), piecesBody);
    pieces.Feed(bytes.substr(std::min(split, bytes.size())), piecesBody);
    if (whole.CurrentState() != pieces.CurrentState() || wholeBody != piecesBody || whole.Error() != pieces.Error())
        std::abort();
    if (wholeBody.size() > bytes.size() || whole.Headers().size() > NtripResponseReader::kMaxHeaderLines)
        std::abort();
    whole.Close();
    if (whole.IsSourceTable())
        ParseSourceTable(wholeBody);
    return 0;
}
