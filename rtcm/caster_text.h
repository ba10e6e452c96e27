#pragma once

#include <string>
#include <string_view>

// Where corrections come from, as the user names it, in the window and the
// CLI alike:
//
//   ntrip://[USER[:PASSWORD]@]HOST[:PORT]/MOUNTPOINT
//   ntrip://caster.example.org/RTCM3          port 2101
//   ntrip://me:secret@[2001:db8::1]:2102/MP   IPv6 in brackets
//   ntrip://caster.example.org                no mountpoint: the source table
//
// USER and PASSWORD may carry %XX escapes (a password with '@' or '/').
inline constexpr int kNtripDefaultPort = 2101;

struct CasterAddress {
    std::string host;  // without brackets
    int port = kNtripDefaultPort;
    std::string mountpoint;  // empty: the source table
    std::string user;
    std::string password;
    bool hasCredentials = false;

    bool operator==(const CasterAddress&) const = default;

    // Ports where casters listen behind TLS by convention.
    bool TlsByPort() const { return port == 443 || port == 2102; }
};

struct CasterParse {
    CasterAddress address;
    std::string error;  // why the text names no caster; empty when it does
    bool Ok() const { return error.empty(); }
};

// Pure; any input (the fuzzer feeds it arbitrary bytes).
CasterParse ParseCasterText(std::string_view text);

// The text without the password ("ntrip://me@host:2101/MP"): what logs,
// status texts and errors may show.
std::string CasterTextWithoutPassword(const CasterAddress& address);

// Takes USER:PASSWORD from `value` (STELMAP_NTRIP_CREDENTIALS) when the
// address has no credentials of its own; false when `value` is set but
// not of that form.
bool ApplyCredentials(CasterAddress& address, const char* value);
