#include "app/receiver_gga.h"

#include <charconv>
#include <vector>

namespace {

constexpr size_t kMaxLine = 120;  // NMEA's 82, with room for receivers that pad

int Hex(char c)
{
    return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

}  // namespace

bool ReceiverGga::Feed(std::string_view bytes)
{
    bool got = false;
    for (char c : bytes) {
        if (c == '$') {
            m_line.assign(1, '$');
        } else if (c == '\r' || c == '\n') {
            if (m_line.size() > 7 && m_line.compare(3, 4, "GGA,") == 0)
                got = Take(m_line) || got;
            m_line.clear();
        } else if (!m_line.empty() && m_line.size() < kMaxLine) {
            m_line += c;
        } else {
            m_line.clear();
        }
    }
    return got;
}

bool ReceiverGga::Take(const std::string& line)
{
    const size_t star = line.rfind('*');
    if (star == std::string::npos || star + 3 != line.size() || Hex(line[star + 1]) < 0 || Hex(line[star + 2]) < 0)
        return false;
    unsigned sum = 0;
    for (size_t i = 1; i < star; ++i)
        sum ^= static_cast<unsigned char>(line[i]);
    if (sum != static_cast<unsigned>(Hex(line[star + 1]) * 16 + Hex(line[star + 2])))
        return false;
    std::vector<std::string_view> fields;
    const std::string_view body(line.data() + 1, star - 1);
    size_t start = 0;
    while (true) {
        const size_t comma = body.find(',', start);
        fields.push_back(body.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    if (fields.size() < 7)
        return false;
    m_sentence = line + "\r\n";
    m_quality = !fields[6].empty() && fields[6][0] >= '0' && fields[6][0] <= '9' ? fields[6][0] - '0' : 0;
    m_age.reset();
    m_station.reset();
    if (fields.size() > 13 && !fields[13].empty()) {
        double age = 0;
        const auto [end, ec] = std::from_chars(fields[13].data(), fields[13].data() + fields[13].size(), age);
        if (ec == std::errc() && end == fields[13].data() + fields[13].size())
            m_age = age;
    }
    if (fields.size() > 14 && !fields[14].empty()) {
        int station = 0;
        const auto [end, ec] = std::from_chars(fields[14].data(), fields[14].data() + fields[14].size(), station);
        if (ec == std::errc() && end == fields[14].data() + fields[14].size())
            m_station = station;
    }
    return true;
}
