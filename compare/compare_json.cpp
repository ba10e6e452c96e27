#include "compare/compare_json.h"

#include <cstdio>

#include "analysis/accuracy_json.h"

namespace {

void AppendString(std::string& out, const std::string& text)
{
    out += '"';
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", u);
            out += escape;
        } else {
            out += c;
        }
    }
    out += '"';
}

void AppendBiasAndSigma(std::string& out, const std::optional<BiasAndSigma>& value)
{
    if (!value) {
        out += "null";
        return;
    }
    out += "{\"bias\":";
    AppendJsonNumber(out, value->bias);
    out += ",\"sigma\":";
    AppendJsonNumber(out, value->sigma);
    out += '}';
}

}  // namespace

std::string CompareReportToJson(const CompareReport& report)
{
    std::string out = "{\"reference\":{\"kind\":";
    AppendString(out, report.referenceKind);
    out += ",\"source\":";
    AppendString(out, report.referenceSource);
    out += "},\"tolerance\":";
    AppendJsonNumber(out, report.tolerance);
    out += ",\"receivers\":[";
    bool first = true;
    for (const CompareReport::Receiver& r : report.receivers) {
        if (!first)
            out += ',';
        first = false;
        const ReceiverComparison& f = r.figures;
        out += "{\"source\":";
        AppendString(out, r.source);
        out += ",\"epochs\":" + std::to_string(f.epochs) + ",\"matched\":" + std::to_string(f.matched);
        out += ",\"availability\":";
        AppendJsonNumber(out, f.availability);
        out += ",\"all\":";
        AppendErrorFiguresJson(out, f.all);
        out += ",\"byQuality\":{";
        bool firstGroup = true;
        for (size_t q = 0; q < f.byQuality.size(); ++q) {
            if (!f.byQuality[q])
                continue;
            if (!firstGroup)
                out += ',';
            firstGroup = false;
            out += '"' + std::to_string(q) + "\":";
            AppendErrorFiguresJson(out, *f.byQuality[q]);
        }
        out += "},\"alongTrack\":";
        AppendBiasAndSigma(out, f.alongTrack);
        out += ",\"crossTrack\":";
        AppendBiasAndSigma(out, f.crossTrack);
        out += ",\"latency\":";
        if (f.latency) {
            out += "{\"mean\":";
            AppendJsonNumber(out, f.latency->mean);
            out += ",\"p95\":";
            AppendJsonNumber(out, f.latency->p95);
            out += '}';
        } else {
            out += "null";
        }
        out += '}';
    }
    out += "]}";
    return out;
}
