#pragma once

#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "link/read_stamp.h"

#include "link/link_health.h"
#include "link/monitor_backlog.h"
#include "link/link_recording.h"
#include "link/serial_port.h"
#include "nmea/display_snapshot.h"
#include "nmea/gnss_snapshot.h"
#include "nmea/receiver_state.h"

// The stamps of the reads whose bytes wait in the receive queue, for the
// recording's time index. `begin` counts the bytes ever queued.
struct ReadStampQueue {
    std::deque<ReadStamp> stamps;
    uint64_t queued = 0;
    uint64_t drained = 0;
};

// The objects the link threads and the GUI share. The program has one set,
// the process-wide globals below; tests make their own.
struct LinkObjects {
    CNMEAParserWin32& parser;
    CSio& sio;
    // Guards rxQueue and snapshot, and the parser while it is reset or copied.
    std::mutex& dataLock;
    // Held while bytes are fed to the parser, while it is reset and while
    // the fix is copied out of it; released while the reader waits for a
    // fix to be handled. Always taken before dataLock.
    std::mutex& parserLock;
    std::deque<char>& rxQueue;
    DisplaySnapshot& snapshot;
    // The GNSS model's snapshot, copied with `snapshot` under dataLock;
    // none when null.
    GnssSnapshot* gnssSnapshot = nullptr;
    // Counted by the reader under parserLock; none in links that do not count.
    LinkHealth* health = nullptr;
    // Guarded by dataLock; when null the reads are not stamped.
    ReadStampQueue* readStamps = nullptr;
    // Guarded by dataLock; when null the monitor's queue is not bounded.
    MonitorBacklog* monitor = nullptr;
    // When null nothing is recorded on the reader's side.
    LinkRecording* recording = nullptr;
};

extern CNMEAParserWin32 g_parser;
extern LinkHealth g_linkHealth;
extern std::mutex g_dataLock;
extern std::mutex g_parserLock;
extern std::deque<char> g_rxQueue;
extern DisplaySnapshot g_displaySnapshot;
extern GnssSnapshot g_gnssSnapshot;
extern ReadStampQueue g_readStamps;
extern MonitorBacklog g_monitorBacklog;
extern LinkRecording g_recording;
extern CSio g_sio;  // resets g_parser on every OpenPort

LinkObjects GlobalLinkObjects();

// ResetData on the parser, never while bytes are being fed or a fix is
// copied; with `zeroSnapshot` the snapshot is zeroed in the same step. The
// health counts start again too.
void ResetParserData(const LinkObjects& link, bool zeroSnapshot);

// ForgetIntegrity on the parser and zero HPL and HFOM in the snapshot, under
// the same locks, for a source that is not the receiver they came from.
void ForgetIntegrity(const LinkObjects& link);

// A copy of the health counts, taken under parserLock; empty without counting.
LinkHealthTotals ReadLinkHealth(const LinkObjects& link);

// Removes at most `maxBytes` received bytes from the head of the queue.
std::string DrainRxQueue(const LinkObjects& link, size_t maxBytes);

// The same, with the stamps of the reads that begin in those bytes
// (`begin` relative to the first byte returned).
struct ReceivedChunk {
    std::string bytes;
    std::vector<ReadStamp> stamps;
};
ReceivedChunk DrainReceived(const LinkObjects& link, size_t maxBytes);
