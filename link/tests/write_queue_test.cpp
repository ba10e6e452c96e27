#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "link/serial_port.h"
#include "link/tests/tcp_peer.h"
#include "link/write_queue.h"

using namespace std::chrono_literals;

namespace {

struct Failures {
    std::mutex mutex;
    std::vector<WriteQueue::Failure> seen;
    size_t Count()
    {
        std::lock_guard lock(mutex);
        return seen.size();
    }
};

TEST(WriteQueue, FramesReachAReadingPeerWholeAndInOrder)
{
    TcpPeer peer;
    CSio sio;
    ASSERT_TRUE(sio.OpenSource(peer.Text(), 0));
    ASSERT_TRUE(peer.Accept());
    WriteQueue queue(sio);
    std::string expected;
    for (int i = 0; i < 500; ++i) {
        const std::string frame = "$PXTNTST," + std::to_string(i) + "," + std::string(static_cast<size_t>(i % 97), 'x') + "\r\n";
        ASSERT_EQ(queue.Enqueue(frame), "") << i;
        expected += frame;
    }
    EXPECT_EQ(peer.ReadAll(500ms), expected);
}

TEST(WriteQueue, SourcesThatCannotBeWrittenRefuseWithAReason)
{
    CSio closed;
    WriteQueue none(closed);
    EXPECT_NE(none.Enqueue("$PXTNCFG*50\r\n"), "");

    CSio udp;
    ASSERT_TRUE(udp.OpenSource("udp://127.0.0.1:" + std::to_string(FreeUdpPort()), 0));
    WriteQueue listening(udp);
    EXPECT_NE(listening.Enqueue("$PXTNCFG*50\r\n").find("UDP"), std::string::npos);
}

// A peer that stops reading: the queue fills to its bound and refuses
// more, everything queued fails once the peer took nothing for the stall
// limit, and meanwhile the source is read as before.
TEST(WriteQueue, APeerThatStopsReadingFailsTheQueueButNeverTheReader)
{
    TcpPeer peer;
    CSio sio;
    ASSERT_TRUE(sio.OpenSource(peer.Text(), 0));
    ASSERT_TRUE(peer.Accept());
    Failures failures;
    WriteQueue queue(sio, [&](const WriteQueue::Failure& f) {
        std::lock_guard lock(failures.mutex);
        failures.seen.push_back(f);
    });

    std::atomic<bool> reading{true};
    std::atomic<uint64_t> reads{0};
    struct Join {
        std::atomic<bool>& reading;
        std::thread thread;
        ~Join()
        {
            reading = false;
            if (thread.joinable())
                thread.join();
        }
    } reader{reading, std::thread([&] {
        uint8_t buffer[4096];
        while (reading.load()) {
            if (sio.Read(buffer, sizeof buffer, sizeof buffer).count >= 0)
                reads.fetch_add(1);
            std::this_thread::sleep_for(1ms);
        }
    })};

    // The kernel's buffers take a good deal first; keep offering frames
    // until the peer has taken nothing for the stall limit.
    const std::string frame = "$PXTNTST," + std::string(1000, 'y') + "\r\n";
    std::string refusal;
    uint64_t readsAtFirstRefusal = 0;
    const auto started = std::chrono::steady_clock::now();
    while (failures.Count() == 0 && std::chrono::steady_clock::now() - started < 30s) {
        const std::string r = queue.Enqueue(frame);
        ASSERT_LE(queue.QueuedBytes(), WriteQueue::kMaxQueuedBytes);
        if (r.empty())
            continue;
        if (refusal.empty())
            readsAtFirstRefusal = reads.load();
        refusal = r;
        std::this_thread::sleep_for(1ms);
    }
    EXPECT_NE(refusal.find("has not taken"), std::string::npos) << refusal;
    ASSERT_EQ(failures.Count(), 1u);
    EXPECT_EQ(queue.QueuedBytes(), 0u);
    // The reader went on all the while the writes stood still.
    EXPECT_GT(reads.load(), readsAtFirstRefusal + 100);
    EXPECT_GT(failures.seen[0].frames, 0u);
    EXPECT_GT(failures.seen[0].bytes, 0u);
    EXPECT_NE(failures.seen[0].reason.find("took no data"), std::string::npos) << failures.seen[0].reason;
}

}  // namespace
