#pragma once

#include <string>
#include <string_view>

#include "rtcm/caster_text.h"

// What the client says to a caster. NTRIP 2 is HTTP/1.1 with
// "Ntrip-Version: Ntrip/2.0"; NTRIP 1 is a bare HTTP/1.0 GET that casters
// of that age answer with "ICY 200 OK". Both carry HTTP Basic credentials
// when the address has them. An empty mountpoint asks for the source table.
enum class NtripVersion { V2, V1 };

std::string NtripRequest(const CasterAddress& address, NtripVersion version, std::string_view userAgent);

std::string Base64(std::string_view bytes);

// A GGA for a position the receiver is not giving, so that a caster that
// wants one (a virtual reference station) can serve a fixed place:
//   $GPGGA,123519.00,4807.03800000,N,01131.00000000,E,1,12,1.0,545.4,M,0.0,M,,*hh
// `secondsOfDay` is the UTC time; the quality is 1 and 12 satellites, as
// casters ignore what they cannot check.
std::string MakeGga(double latitude, double longitude, double altitude, double secondsOfDay);
