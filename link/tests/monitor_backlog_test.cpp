#include <gtest/gtest.h>

#include <string>

#include "link/monitor_backlog.h"

namespace {

std::string Queued(const std::deque<char>& queue) { return {queue.begin(), queue.end()}; }

TEST(MonitorBacklog, LongLinesAreCutWithAMarkAndTheirRestDropped)
{
    const std::string limit(MonitorBacklog::kLineLimit, 'a');
    const std::string mark = " ... [line cut: longer than 4096 characters]\n";
    const struct {
        const char* name;
        std::vector<std::string> reads;
        std::string shown;
    } cases[] = {
        {"a line at the limit", {limit + "\r\n"}, limit + "\r\n"},
        {"one character more", {limit + "b\r\n$GPGGA\r\n"}, limit + mark + "$GPGGA\r\n"},
        {"cut across reads", {limit.substr(0, 100), limit.substr(100) + "bbbb", "cccc\n", "$X\n"}, limit + mark + "$X\n"},
        {"no line end at all", {limit, std::string(100000, 'z')}, limit + mark},
        {"carriage returns do not count", {std::string(10, '\r') + limit + "\n"}, std::string(10, '\r') + limit + "\n"},
    };
    for (const auto& c : cases) {
        std::deque<char> queue;
        MonitorBacklog backlog;
        for (const std::string& read : c.reads)
            QueueForMonitor(queue, backlog, read);
        EXPECT_EQ(Queued(queue), c.shown) << c.name;
    }
}

TEST(MonitorBacklog, AFullQueueLeavesTextOutAndThenSaysHowMuch)
{
    std::deque<char> queue;
    MonitorBacklog backlog;
    const std::string line = std::string(79, 'n') + "\n";
    while (queue.size() < MonitorBacklog::kQueueLimit)
        QueueForMonitor(queue, backlog, line);
    const size_t full = queue.size();
    for (int i = 0; i < 15000; ++i)
        QueueForMonitor(queue, backlog, line);
    EXPECT_EQ(queue.size(), full) << "nothing more waits while the queue is full";

    queue.clear();  // the window caught up
    QueueForMonitor(queue, backlog, "$GPGGA\n");
    EXPECT_EQ(Queued(queue), "\n... 1.2 MB not shown ...\n$GPGGA\n");

    const struct {
        uint64_t bytes;
        const char* text;
    } sizes[] = {{1, "\n... 1 bytes not shown ...\n"}, {2500, "\n... 2.5 kB not shown ...\n"},
                 {1234567, "\n... 1.2 MB not shown ...\n"}};
    for (const auto& s : sizes)
        EXPECT_EQ(NotShownText(s.bytes), s.text);
}

}  // namespace
