#include "link/link_objects.h"

#include <algorithm>

// One translation unit, so they are constructed in this order.
CNMEAParserWin32 g_parser;
std::mutex g_dataLock;
std::mutex g_parserLock;
std::deque<char> g_rxQueue;
DisplaySnapshot g_displaySnapshot;
GnssSnapshot g_gnssSnapshot;
CSio g_sio([] { ResetParserData(GlobalLinkObjects(), false); });

LinkObjects GlobalLinkObjects()
{
    return {g_parser, g_sio, g_dataLock, g_parserLock, g_rxQueue, g_displaySnapshot, &g_gnssSnapshot};
}

void ResetParserData(const LinkObjects& link, bool zeroSnapshot)
{
    std::lock_guard feeding(link.parserLock);
    std::lock_guard data(link.dataLock);
    link.parser.ResetData();
    if (zeroSnapshot) {
        link.snapshot = DisplaySnapshot{};
        if (link.gnssSnapshot != nullptr)
            *link.gnssSnapshot = GnssSnapshot{};
    }
}

std::string DrainRxQueue(const LinkObjects& link, size_t maxBytes)
{
    std::lock_guard data(link.dataLock);
    const size_t n = std::min(maxBytes, link.rxQueue.size());
    std::string text(link.rxQueue.begin(), link.rxQueue.begin() + static_cast<std::ptrdiff_t>(n));
    link.rxQueue.erase(link.rxQueue.begin(), link.rxQueue.begin() + static_cast<std::ptrdiff_t>(n));
    return text;
}
