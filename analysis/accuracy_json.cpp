#include "analysis/accuracy_json.h"

#include <charconv>
#include <cmath>
#include <initializer_list>
#include <string_view>
#include <utility>

namespace {

class ObjectText {
public:
    explicit ObjectText(std::string& out) : m_out(out) { m_out += '{'; }
    ~ObjectText() { m_out += '}'; }

    std::string& Key(std::string_view key)
    {
        if (!m_first)
            m_out += ',';
        m_first = false;
        m_out += '"';
        m_out += key;
        m_out += "\":";
        return m_out;
    }

private:
    std::string& m_out;
    bool m_first = true;
};

}  // namespace

void AppendJsonNumber(std::string& out, const std::optional<double>& value)
{
    if (!value || !std::isfinite(*value)) {
        out += "null";
        return;
    }
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, *value);
    out.append(buffer, result.ptr);
}

void AppendErrorFiguresJson(std::string& out, const ErrorFigures& f)
{
    ObjectText object(out);
    object.Key("count") += std::to_string(f.count);
    const std::pair<const char*, const std::optional<double>*> figures[] = {
        {"biasE", &f.biasE}, {"biasN", &f.biasN}, {"biasU", &f.biasU},
        {"sigmaE", &f.sigmaE}, {"sigmaN", &f.sigmaN}, {"sigmaU", &f.sigmaU},
        {"h50", &f.h50}, {"h68", &f.h68}, {"h95", &f.h95}, {"h99", &f.h99},
        {"v50", &f.v50}, {"v95", &f.v95}, {"drms", &f.drms}, {"twoDrms", &f.twoDrms},
    };
    for (const auto& [key, value] : figures)
        AppendJsonNumber(object.Key(key), *value);
}

std::string AccuracyReportToJson(const AccuracyReport& report)
{
    std::string out;
    {
        ObjectText top(out);
        {
            std::string& reference = top.Key("reference");
            ObjectText object(reference);
            const std::optional<GeodeticPosition>& r = report.reference;
            AppendJsonNumber(object.Key("latitude"), r ? std::optional(r->latitude) : std::nullopt);
            AppendJsonNumber(object.Key("longitude"), r ? std::optional(r->longitude) : std::nullopt);
            AppendJsonNumber(object.Key("altitude"), r ? std::optional(r->altitude) : std::nullopt);
            object.Key("source") += report.referenceIsTruth ? "\"truth\"" : "\"mean\"";
        }
        top.Key("ggaCount") += std::to_string(report.ggaCount);
        top.Key("fixes") += std::to_string(report.fixes);
        AppendErrorFiguresJson(top.Key("all"), report.all);
        {
            ObjectText groups(top.Key("byQuality"));
            for (size_t q = 0; q < report.byQuality.size(); ++q)
                if (report.byQuality[q])
                    AppendErrorFiguresJson(groups.Key(std::to_string(q)), *report.byQuality[q]);
        }
        std::string& integrity = top.Key("integrity");
        if (!report.integrity) {
            integrity += "null";
        } else {
            const IntegrityCounts& c = *report.integrity;
            ObjectText object(integrity);
            AppendJsonNumber(object.Key("alertLimit"), c.alertLimit);
            object.Key("epochs") += std::to_string(c.epochs);
            const std::pair<const char*, StanfordRegion> regions[] = {
                {"normal", StanfordRegion::Normal},
                {"mi", StanfordRegion::Misleading},
                {"hmi", StanfordRegion::Hazardous},
                {"unavailable", StanfordRegion::Unavailable},
                {"unavailableMi", StanfordRegion::UnavailableMi},
            };
            for (const auto& [key, region] : regions)
                object.Key(key) += std::to_string(c.Count(region));
            AppendJsonNumber(object.Key("availability"), c.availability);
        }
    }
    return out;
}
