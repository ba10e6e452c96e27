#include "link/monitor_backlog.h"

#include <cstdio>

namespace {

constexpr std::string_view kCutMark = " ... [line cut: longer than 4096 characters]\n";

}  // namespace

std::string NotShownText(uint64_t bytes)
{
    char size[32];
    if (bytes >= 1000 * 1000)
        std::snprintf(size, sizeof size, "%.1f MB", static_cast<double>(bytes) / 1e6);
    else if (bytes >= 1000)
        std::snprintf(size, sizeof size, "%.1f kB", static_cast<double>(bytes) / 1e3);
    else
        std::snprintf(size, sizeof size, "%llu bytes", static_cast<unsigned long long>(bytes));
    return std::string("\n... ") + size + " not shown ...\n";
}

void QueueForMonitor(std::deque<char>& queue, MonitorBacklog& backlog, std::string_view printable)
{
    if (printable.empty())
        return;
    if (queue.size() >= MonitorBacklog::kQueueLimit) {
        backlog.skipped += printable.size();
        return;
    }
    if (backlog.skipped > 0) {
        const std::string mark = NotShownText(backlog.skipped);
        queue.insert(queue.end(), mark.begin(), mark.end());
        backlog = MonitorBacklog{};  // the text goes on at a line's start
    }
    for (const char c : printable) {
        if (c == '\n') {
            if (!backlog.cutting)
                queue.push_back(c);  // a cut line already ended with its mark
            backlog.lineLength = 0;
            backlog.cutting = false;
            continue;
        }
        if (backlog.cutting)
            continue;
        if (backlog.lineLength == MonitorBacklog::kLineLimit && c != '\r') {
            queue.insert(queue.end(), kCutMark.begin(), kCutMark.end());
            backlog.cutting = true;
            continue;
        }
        queue.push_back(c);
        if (c != '\r')
            ++backlog.lineLength;
    }
}
