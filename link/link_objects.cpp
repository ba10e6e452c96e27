#include "link/link_objects.h"

#include <algorithm>
#include <chrono>

// One translation unit, so they are constructed in this order.
CNMEAParserWin32 g_parser;
LinkHealth g_linkHealth;
std::mutex g_dataLock;
std::mutex g_parserLock;
std::deque<char> g_rxQueue;
DisplaySnapshot g_displaySnapshot;
GnssSnapshot g_gnssSnapshot;
ReadStampQueue g_readStamps;
MonitorBacklog g_monitorBacklog;
LinkRecording g_recording;
CSio g_sio([] { ResetParserData(GlobalLinkObjects(), false); });

LinkObjects GlobalLinkObjects()
{
    return {g_parser, g_sio, g_dataLock, g_parserLock, g_rxQueue, g_displaySnapshot, &g_gnssSnapshot, &g_linkHealth, &g_readStamps, &g_monitorBacklog, &g_recording};
}

void ResetParserData(const LinkObjects& link, bool zeroSnapshot)
{
    std::lock_guard feeding(link.parserLock);
    std::lock_guard data(link.dataLock);
    link.parser.ResetData();
    if (link.health != nullptr)
        link.health->Restart(std::chrono::steady_clock::now());
    if (zeroSnapshot) {
        link.snapshot = DisplaySnapshot{};
        if (link.gnssSnapshot != nullptr)
            *link.gnssSnapshot = GnssSnapshot{};
    }
}

LinkHealthTotals ReadLinkHealth(const LinkObjects& link)
{
    LinkHealthTotals totals;
    {
        std::lock_guard feeding(link.parserLock);
        if (link.health != nullptr)
            totals = link.health->Totals();
    }
    totals.datagramsDropped = link.sio.DatagramsDropped();
    return totals;
}

void ForgetIntegrity(const LinkObjects& link)
{
    std::lock_guard feeding(link.parserLock);
    std::lock_guard data(link.dataLock);
    link.parser.ForgetIntegrity();
    link.snapshot.hplCm = 0;
    link.snapshot.hfomCm = 0;
}

std::string DrainRxQueue(const LinkObjects& link, size_t maxBytes)
{
    return DrainReceived(link, maxBytes).bytes;
}

ReceivedChunk DrainReceived(const LinkObjects& link, size_t maxBytes)
{
    ReceivedChunk chunk;
    std::lock_guard data(link.dataLock);
    const size_t n = std::min(maxBytes, link.rxQueue.size());
    chunk.bytes.assign(link.rxQueue.begin(), link.rxQueue.begin() + static_cast<std::ptrdiff_t>(n));
    link.rxQueue.erase(link.rxQueue.begin(), link.rxQueue.begin() + static_cast<std::ptrdiff_t>(n));
    if (ReadStampQueue* q = link.readStamps) {
        const uint64_t end = q->drained + n;
        while (!q->stamps.empty() && q->stamps.front().begin < end) {
            ReadStamp stamp = q->stamps.front();
            q->stamps.pop_front();
            // A read that began in bytes drained before keeps its first stamp.
            if (stamp.begin < q->drained)
                continue;
            stamp.begin -= q->drained;
            chunk.stamps.push_back(stamp);
        }
        q->drained = end;
    }
    return chunk;
}
