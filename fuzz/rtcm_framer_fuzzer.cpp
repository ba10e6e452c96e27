// Feeds arbitrary bytes to the RTCM 3 framer whole and byte by byte: both
// must find the same frames, each must check, the buffer must stay within
// one frame, and the decoders must take whatever payload comes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "rtcm/rtcm_framer.h"
#include "rtcm/rtcm_tally.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    RtcmFramer whole;
    const std::vector<std::string> frames = whole.Feed(bytes);
    RtcmFramer single;
    std::vector<std::string> one;
    for (char c : bytes) {
        for (std::string& f : single.Feed(std::string_view(&c, 1)))
            one.push_back(std::move(f));
        if (single.Pending() > kRtcmMaxFrame)
            std::abort();
    }
    if (frames != one || whole.BadFrames() != single.BadFrames())
        std::abort();
    RtcmTally tally;
    for (const std::string& f : frames) {
        if (MakeRtcmFrame(RtcmPayload(f)) != f)
            std::abort();
        tally.TakeFrame(f, 0.0);
    }
    return 0;
}
