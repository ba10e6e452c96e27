#include "app/ntrip_status_text.h"

#include <cmath>
#include <cstdio>

namespace {

std::string Format(const char* format, double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

std::string Duration(double seconds)
{
    const long s = std::lround(std::max(0.0, seconds));
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
    return buffer;
}

}  // namespace

std::optional<Geodetic> BasePosition(const RtcmTally& tally)
{
    if (!tally.Station())
        return std::nullopt;
    const StationPosition& s = *tally.Station();
    return GeodeticFromEarthCentred({s.x, s.y, s.z});
}

std::string NtripPaneText(const NtripStatusFigures& f)
{
    if (f.mountpoint.empty())
        return "NTRIP off";
    const size_t slash = f.mountpoint.rfind('/');
    std::string text = "NTRIP " + (slash == std::string::npos ? f.mountpoint : f.mountpoint.substr(slash + 1)) + " " + f.state;
    text += " " + Format("%.0f B/s", f.bytesPerSecond);
    text += f.age ? " age " + Format("%.1f s", *f.age) : std::string(" age -");
    return text;
}

std::vector<std::pair<std::string, std::string>> NtripStatusRows(const NtripStatusFigures& f, const RtcmTally& tally, double now)
{
    std::vector<std::pair<std::string, std::string>> rows;
    rows.emplace_back("Caster", f.mountpoint.empty() ? "-" : f.mountpoint);
    rows.emplace_back("State", f.state);
    rows.emplace_back("Uptime", Duration(f.uptimeSeconds));
    rows.emplace_back("Reconnects", std::to_string(f.reconnects));
    rows.emplace_back("Bytes", std::to_string(tally.Bytes()) + " (" + Format("%.0f B/s", f.bytesPerSecond) + ")");
    rows.emplace_back("Frames", std::to_string(tally.Frames()) + ", " + std::to_string(tally.BadFrames()) + " bad");
    // The age of corrections beside the receiver's own age of differential.
    rows.emplace_back("Age of corrections", (f.age ? Format("%.1f s", *f.age) : std::string("-")) + "   receiver's GGA: " +
                                                (f.ggaAge ? Format("%.1f s", *f.ggaAge) : std::string("-")));
    for (const auto& [type, count] : tally.Types()) {
        const double age = now - count.last;
        rows.emplace_back("Message " + std::to_string(type),
                          std::to_string(count.frames) + " frames, " + Format("%.2f Hz", count.Rate()) + ", last " +
                              Format("%.1f s ago", age));
    }
    if (tally.Station()) {
        const StationPosition& s = *tally.Station();
        const Geodetic base = *BasePosition(tally);
        rows.emplace_back("Base station", std::to_string(s.stationId) + " (message " + std::to_string(s.message) + ")");
        rows.emplace_back("Base position", Format("%.8f", base.latitude) + ", " + Format("%.8f", base.longitude) + ", " +
                                               Format("%.3f m", base.height));
        rows.emplace_back("Base ECEF", Format("%.4f", s.x) + ", " + Format("%.4f", s.y) + ", " + Format("%.4f m", s.z));
        if (s.antennaHeight)
            rows.emplace_back("Antenna height", Format("%.4f m", *s.antennaHeight));
        rows.emplace_back("Baseline", f.receiver ? Format("%.3f km", ChordLength(base, *f.receiver) / 1000.0) : std::string("no fix"));
    }
    if (const auto& d = tally.Descriptor()) {
        rows.emplace_back("Antenna", d->antenna + (d->antennaSerial.empty() ? "" : " #" + d->antennaSerial));
        if (!d->receiver.empty())
            rows.emplace_back("Base receiver", d->receiver + " " + d->firmware);
    }
    for (int system = 0; system < kMsmSystems; ++system) {
        const int n = tally.MsmSatellites(static_cast<MsmSystem>(system));
        if (n >= 0)
            rows.emplace_back(std::string("Satellites ") + MsmSystemName(static_cast<MsmSystem>(system)), std::to_string(n));
    }
    for (const std::string& e : f.errors)
        rows.emplace_back("Error", e);
    return rows;
}
