#pragma once

// The user's known ("reference") position: degrees north and east positive,
// altitude in metres. 0.0 for whatever is not stored.
struct UserPosition {
    double latitude = 0.0;
    double longitude = 0.0;
    double altitude = 0.0;
    bool operator==(const UserPosition&) const = default;
};
