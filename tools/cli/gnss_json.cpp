#include "tools/cli/gnss_json.h"

#include <cstdio>

namespace {

void OptionalInt(JsonWriter& json, const std::optional<int>& value)
{
    if (value)
        json.Int(*value);
    else
        json.Null();
}

void OptionalDouble(JsonWriter& json, const char* key, const std::optional<double>& value)
{
    json.Key(key);
    if (value)
        json.Double(*value);
    else
        json.Null();
}

}  // namespace

void WriteGnssSatellites(JsonWriter& json, const std::vector<GnssSignalView>& views)
{
    json.BeginArray();
    for (const GnssSignalView& s : views) {
        json.BeginArray().String(SystemName(s.system)).Int(s.number).Int(s.signal);
        OptionalInt(json, s.elevation);
        OptionalInt(json, s.azimuth);
        OptionalInt(json, s.cnr);
        json.Bool(s.used).EndArray();
    }
    json.EndArray();
}

void WriteGnssJson(JsonWriter& json, const GnssSnapshot& gnss)
{
    json.BeginObject();
    json.Key("date");
    if (gnss.date) {
        char text[32];
        std::snprintf(text, sizeof text, "%04d-%02d-%02d", gnss.date->year, gnss.date->month, gnss.date->day);
        json.String(text);
    } else {
        json.Null();
    }
    json.Key("time");
    if (gnss.time.empty())
        json.Null();
    else
        json.String(gnss.time);

    json.Key("satellites");
    WriteGnssSatellites(json, gnss.satellites);

    json.Key("gst");
    if (const auto& gst = gnss.gst) {
        json.BeginObject();
        OptionalDouble(json, "rms", gst->rms);
        OptionalDouble(json, "major", gst->major);
        OptionalDouble(json, "minor", gst->minor);
        OptionalDouble(json, "orientation", gst->orientation);
        OptionalDouble(json, "sigmaLat", gst->sigmaLat);
        OptionalDouble(json, "sigmaLon", gst->sigmaLon);
        OptionalDouble(json, "sigmaAlt", gst->sigmaAlt);
        json.EndObject();
    } else {
        json.Null();
    }

    json.Key("gbs");
    if (const auto& gbs = gnss.gbs) {
        json.BeginObject();
        OptionalDouble(json, "errLat", gbs->errLat);
        OptionalDouble(json, "errLon", gbs->errLon);
        OptionalDouble(json, "errAlt", gbs->errAlt);
        json.Key("suspect");
        if (gbs->suspect)
            json.BeginArray().String(SystemName(gbs->suspect->system)).Int(gbs->suspect->number).EndArray();
        else
            json.Null();
        OptionalDouble(json, "probability", gbs->probability);
        OptionalDouble(json, "bias", gbs->bias);
        OptionalDouble(json, "sigma", gbs->sigma);
        json.EndObject();
    } else {
        json.Null();
    }

    json.Key("rmcStatus");
    if (gnss.rmcStatus != 0)
        json.String(std::string_view(&gnss.rmcStatus, 1));
    else
        json.Null();
    json.EndObject();
}
