#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

// What waits for the monitor is bounded twice, so that neither a fast
// source nor one without line ends can make the window grow or stall: a
// line longer than kLineLimit characters is cut, with a mark, and the rest
// up to its line feed dropped; while kQueueLimit bytes wait, the text that
// comes is left out and, once there is room again, a line says how much
// ("... 1.2 MB not shown ..."). The recording never goes through here.
struct MonitorBacklog {
    static constexpr size_t kLineLimit = 4096;
    static constexpr size_t kQueueLimit = size_t{1} << 20;

    size_t lineLength = 0;  // characters since the last line feed
    bool cutting = false;   // the current line was cut; dropped up to its line feed
    uint64_t skipped = 0;   // bytes left out since the queue was full
};

// Appends the printable bytes of one read to `queue` within the bounds.
void QueueForMonitor(std::deque<char>& queue, MonitorBacklog& backlog, std::string_view printable);

// The line that stands for `bytes` left out.
std::string NotShownText(uint64_t bytes);
