#include <gtest/gtest.h>

#include <thread>

#include "link/link_threads.h"
#include "link/tests/own_link.h"
#include "link/tests/tcp_peer.h"

using namespace std::chrono_literals;

namespace {

// Sends `count` datagrams of `size` bytes to the loopback port at once.
void Burst(uint16_t port, int count, size_t size)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    to.sin_port = htons(port);
    const std::string datagram = std::string(size - 2, 'u') + "\r\n";
    for (int i = 0; i < count; ++i)
        ::sendto(fd, datagram.data(), datagram.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    ::close(fd);
}

class NoObserver : public LinkObserver {
public:
    void PositionUpdate() override {}
    void RxActivity() override {}
    void ReceiverLost() override {}
};

// A burst far beyond one read while the reader waits: the socket's buffer
// holds it and the reader takes every pending datagram on its next wake-up.
TEST(UdpSource, ABurstIsReadWholeWithoutDrops)
{
    const uint16_t port = FreeUdpPort();
    OwnLink link;
    NoObserver observer;
    LinkThreads threads(link.Objects(), observer);
    ASSERT_TRUE(link.sio.OpenSource("udp://127.0.0.1:" + std::to_string(port), 0));
    ASSERT_TRUE(threads.Start());
    constexpr int kDatagrams = 300;
    constexpr size_t kSize = 1000;
    Burst(port, kDatagrams, kSize);
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (ReadLinkHealth(link.Objects()).bytes < kDatagrams * kSize && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(10ms);
    threads.Stop();
    const LinkHealthTotals totals = ReadLinkHealth(link.Objects());
    EXPECT_EQ(totals.bytes, kDatagrams * kSize);
    EXPECT_EQ(totals.datagramsDropped, 0u);
}

// Nobody reads while far more than the buffer arrives: the kernel drops
// datagrams, and the link counts them for Link Health.
TEST(UdpSource, DatagramsTheKernelDroppedAreCounted)
{
    const uint16_t port = FreeUdpPort();
    CSio sio;
    ASSERT_TRUE(sio.OpenSource("udp://127.0.0.1:" + std::to_string(port), 0));
    Burst(port, 5000, 1400);
    uint8_t buffer[10240];
    SioReadResult read = sio.Read(buffer, sizeof buffer, sizeof buffer);
    EXPECT_GT(read.count, 0);
    EXPECT_TRUE(read.more) << "more datagrams wait than one read takes";
    while (read.more)
        read = sio.Read(buffer, sizeof buffer, sizeof buffer);
    // The kernel tells the count with the datagrams queued after the drops.
    Burst(port, 3, 100);
    sio.Read(buffer, sizeof buffer, sizeof buffer);
    EXPECT_GT(sio.DatagramsDropped(), 0u);
    const std::string report = HealthReportText(HealthRates{}, LinkHealthTotals{.datagramsDropped = sio.DatagramsDropped()});
    EXPECT_NE(report.find("Datagrams dropped: "), std::string::npos) << report;
}

}  // namespace
