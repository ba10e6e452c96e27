#pragma once

#include <cstddef>
#include <deque>
#include <mutex>
#include <string>

#include "link/serial_port.h"
#include "nmea/display_snapshot.h"
#include "nmea/receiver_state.h"

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
};

extern CNMEAParserWin32 g_parser;
extern std::mutex g_dataLock;
extern std::mutex g_parserLock;
extern std::deque<char> g_rxQueue;
extern DisplaySnapshot g_displaySnapshot;
extern CSio g_sio;  // resets g_parser on every OpenPort

LinkObjects GlobalLinkObjects();

// ResetData on the parser, never while bytes are being fed or a fix is
// copied; with `zeroSnapshot` the snapshot is zeroed in the same step.
void ResetParserData(const LinkObjects& link, bool zeroSnapshot);

// ForgetIntegrity on the parser and zero HPL and HFOM in the snapshot, under
// the same locks, for a source that is not the receiver they came from.
void ForgetIntegrity(const LinkObjects& link);

// Removes at most `maxBytes` received bytes from the head of the queue.
std::string DrainRxQueue(const LinkObjects& link, size_t maxBytes);
