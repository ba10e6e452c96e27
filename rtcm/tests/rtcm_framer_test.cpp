#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "rtcm/rtcm_framer.h"
#include "rtcm/rtcm_messages.h"
#include "rtcm/tests/rtcm_samples.h"

namespace {

// The 1005 example of the RTCM 3 standard: station 2003 at
// X 1114104.5999, Y -4850729.7108, Z 3975521.4643 m.
const std::string kStandard1005 = std::string(
    "\xD3\x00\x13\x3E\xD7\xD3\x02\x02\x98\x0E\xDE\xEF\x34\xB4\xBD\x62\xAC\x09\x41\x98\x6F\x33\x36\x0B\x98", 25);

std::vector<std::string> FeedInPieces(RtcmFramer& framer, const std::string& bytes, size_t piece)
{
    std::vector<std::string> frames;
    for (size_t i = 0; i < bytes.size(); i += piece)
        for (std::string& f : framer.Feed(std::string_view(bytes).substr(i, piece)))
            frames.push_back(std::move(f));
    return frames;
}

TEST(RtcmFramer, TheStandardsExampleFrameChecksAndDecodes)
{
    RtcmFramer framer;
    const auto frames = framer.Feed(kStandard1005);
    ASSERT_EQ(frames.size(), 1u);
    const auto station = DecodeStationPosition(RtcmPayload(frames[0]));
    ASSERT_TRUE(station);
    EXPECT_EQ(station->stationId, 2003);
    EXPECT_NEAR(station->x, 1114104.5999, 1e-6);
    EXPECT_NEAR(station->y, -4850729.7108, 1e-6);
    EXPECT_NEAR(station->z, 3975521.4643, 1e-6);
    EXPECT_EQ(MakeRtcmFrame(RtcmPayload(kStandard1005)), kStandard1005);
}

struct StreamCase {
    const char* name;
    std::string bytes;
    size_t good;
    uint64_t bad;
};

TEST(RtcmFramer, FindsEveryGoodFrameWhateverSurroundsItAndHowItIsSplit)
{
    const std::string a = StationFrame(7, 4e6, 1e6, 4.8e6);
    const std::string b = MsmFrame(1074, 7, 9);
    const std::string empty = MakeRtcmFrame("");
    const std::string fakeStart("\xD3\x00\x05\x01\x02", 5);  // a header whose frame never checks
    const StreamCase cases[] = {
        {"back to back", a + b + a, 3, 0},
        {"text between", "\r\n$GPGGA,junk\r\n" + a + "ICY" + b, 2, 0},
        {"started mid-frame", a.substr(7) + b, 1, 0},
        {"corrupted in the middle", a + Corrupted(b) + a, 2, 1},
        {"a false start hides a frame", fakeStart + a, 1, 1},
        {"reserved bits set", std::string("\xD3\xFC\x00", 3) + b, 1, 0},
        {"empty payload", empty + a, 2, 0},
        {"cut off at the end", a + b.substr(0, b.size() - 1), 1, 0},
    };
    for (const StreamCase& c : cases) {
        for (size_t piece : {c.bytes.size(), size_t{1}, size_t{2}, size_t{7}, size_t{64}}) {
            RtcmFramer framer;
            const auto frames = FeedInPieces(framer, c.bytes, piece);
            EXPECT_EQ(frames.size(), c.good) << c.name << " in pieces of " << piece;
            EXPECT_EQ(framer.BadFrames(), c.bad) << c.name << " in pieces of " << piece;
            EXPECT_LE(framer.Pending(), kRtcmMaxFrame);
        }
    }
}

TEST(RtcmFramer, NoiseNeverGrowsTheBufferAndFramesAfterItStillCome)
{
    std::mt19937 random(5);
    std::string noise(1 << 20, '\0');
    for (char& c : noise)
        c = static_cast<char>(random() & 0xFF);
    RtcmFramer framer;
    size_t most = 0;
    for (size_t i = 0; i < noise.size(); i += 4096) {
        framer.Feed(std::string_view(noise).substr(i, 4096));
        most = std::max(most, framer.Pending());
    }
    EXPECT_LE(most, kRtcmMaxFrame);
    // A frame length running past the noise holds at most one frame; a
    // run of real frames after that is found again.
    std::vector<std::string> after;
    for (int i = 0; i < 3; ++i)
        for (std::string& f : framer.Feed(StationFrame(1, 1, 2, 3)))
            after.push_back(f);
    EXPECT_GE(after.size(), 2u);
}

}  // namespace
