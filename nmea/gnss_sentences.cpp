#include "nmea/gnss_sentences.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "nmea/number_text.h"

using stelmap::ParseDecimal;
using stelmap::ParseInteger;

namespace {

bool AllDigits(std::string_view text)
{
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

int Digits(std::string_view text, size_t at, size_t n)
{
    int value = 0;
    for (size_t i = at; i < at + n; ++i)
        value = value * 10 + (text[i] - '0');
    return value;
}

std::optional<GnssDate> CheckedDate(int year, int month, int day)
{
    if (month < 1 || month > 12 || day < 1 || day > 31)
        return std::nullopt;
    return GnssDate{year, month, day};
}

// A hexadecimal digit as the signal ID; 0 (not given) for anything else,
// including the empty field some receivers send in its place.
int SignalId(std::string_view text)
{
    if (text.size() != 1)
        return 0;
    const char c = text[0];
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return 0;
}

char OneLetter(std::string_view text) { return text.empty() ? 0 : text[0]; }

}  // namespace

#if defined(__SSE2__)
namespace {

// For each pattern of commas in eight bytes, one past each comma's
// position, in order.
struct CutTable {
    alignas(16) uint16_t cuts[256][8];
    uint8_t count[256];  // without a popcnt instruction in the baseline, a table is quicker
};

constexpr CutTable MakeCutTable()
{
    CutTable t{};
    for (unsigned bits = 0; bits < 256; ++bits) {
        unsigned n = 0;
        for (unsigned k = 0; k < 8; ++k)
            if ((bits >> k) & 1)
                t.cuts[bits][n++] = static_cast<uint16_t>(k + 1);
        t.count[bits] = static_cast<uint8_t>(n);
    }
    return t;
}

constexpr CutTable kCutTable = MakeCutTable();

}  // namespace
#endif

SentenceFields::SentenceFields(std::string_view data)
    : m_data(data.substr(0, UINT16_MAX))
{
    const char* const text = m_data.data();
    const size_t size = m_data.size();
    m_cut[0] = 0;
    // Framed data is at most 255 characters, too few commas to reach the
    // limit: the split then takes no branch per comma (fields are short and
    // their lengths vary, so such a branch is mispredicted often).
    if (size < kMaxFields - 1) {
        int n = 0;
#if defined(__SSE2__)
        // Sixteen bytes a step: the commas' mask, eight bits at a time,
        // picks the cuts from a table and stores all eight slots, of which
        // the next step overwrites those past the commas found.
        const __m128i comma = _mm_set1_epi8(',');
        const __m128i zero = _mm_setzero_si128();
        for (size_t i = 0; i < size; i += 16) {
            __m128i v;
            if (size - i >= 16) {
                v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
            } else {
                // A plain loop: a call to memcpy costs more than the few bytes.
                char tail[16] = {};
                for (size_t k = i; k < size; ++k)
                    tail[k - i] = text[k];
                v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(tail));
            }
            const auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, comma)));
            for (unsigned half = 0; half < 2; ++half) {
                const unsigned bits = (mask >> (8 * half)) & 0xFF;
                const __m128i cuts = _mm_add_epi16(
                    _mm_load_si128(reinterpret_cast<const __m128i*>(kCutTable.cuts[bits])),
                    _mm_set1_epi16(static_cast<short>(i + 8 * half)));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(m_cut + n + 1), _mm_unpacklo_epi16(cuts, zero));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(m_cut + n + 5), _mm_unpackhi_epi16(cuts, zero));
                n += kCutTable.count[bits];
            }
        }
#else
        for (size_t i = 0; i < size; ++i) {
            m_cut[n + 1] = static_cast<uint32_t>(i + 1);
            n += text[i] == ',' ? 1 : 0;
        }
#endif
        m_cut[n + 1] = static_cast<uint32_t>(size + 1);
        m_count = n + 1;
        return;
    }
    // Past kMaxFields - 1 commas the last field runs to the next comma.
    int n = 0;
    size_t end = size;
    for (size_t i = 0; i < size; ++i) {
        if (text[i] != ',')
            continue;
        if (n == kMaxFields - 1) {
            end = i;
            break;
        }
        m_cut[++n] = static_cast<uint32_t>(i + 1);
    }
    m_cut[n + 1] = static_cast<uint32_t>(end + 1);
    m_count = n + 1;
}

SentenceFields::SentenceFields(const char* data)
{
    if (data == nullptr)
        data = "";
    m_cut[0] = 0;
    size_t i = 0;
    for (;; ++i) {
        const char c = data[i];
        if (c == ',' || c == '\0') {
            if (m_count < kMaxFields && i <= UINT16_MAX)
                m_cut[++m_count] = static_cast<uint32_t>(i + 1);
            if (c == '\0')
                break;
        }
    }
    m_data = std::string_view(data, std::min<size_t>(i, UINT16_MAX));
}

std::optional<double> OptionalDecimal(std::string_view text)
{
    // A field where no number starts is as absent as an empty one: never 0.
    if (text.empty() || !stelmap::StartsWithDecimal(text))
        return std::nullopt;
    return ParseDecimal(text);
}

void DecodeGsv(const SentenceFields& f, GsvMessage& out, bool withSystemId)
{
    const std::string_view totalText = f[0];
    const std::string_view numberText = f[1];
    out.total = OptionalInteger(totalText);
    out.number = OptionalInteger(numberText);
    out.inView = OptionalInteger(f[2]);

    const int fields = f.Count();
    int groupFields = fields > 3 ? fields - 3 : 0;
    out.signal = 0;
    out.systemId = 0;
    if (withSystemId && groupFields % 4 == 2) {
        out.signal = SignalId(f[fields - 2]);
        out.systemId = ParseInteger(f[fields - 1]);
        groupFields -= 2;
    } else if (!withSystemId && groupFields % 4 == 1) {
        out.signal = SignalId(f[fields - 1]);
        --groupFields;
    }
    const int groupEnd = 3 + groupFields;
    out.groupCount = 0;
    for (int at = 3; at < groupEnd && out.groupCount < GsvMessage::kMaxGroups; at += 4) {
        GsvGroup& g = out.groups[static_cast<size_t>(out.groupCount++)];
        const std::string_view numberField = f.Field(at);  // at < groupEnd <= fields
        g.number = OptionalInteger(numberField);
        g.numberIsNumber = !numberField.empty() && numberField[0] >= '0' && numberField[0] <= '9';
        if (at + 3 < groupEnd) {
            g.elevation = OptionalInteger(f.Field(at + 1));
            g.azimuth = OptionalInteger(f.Field(at + 2));
            g.cnr = OptionalInteger(f.Field(at + 3));
            continue;
        }
        // A trailing group cut short has only the fields it was sent.
        g.elevation = at + 1 < groupEnd ? OptionalInteger(f.Field(at + 1)) : std::nullopt;
        g.azimuth = at + 2 < groupEnd ? OptionalInteger(f.Field(at + 2)) : std::nullopt;
        g.cnr = std::nullopt;
    }
    // The same fields by position, as the receiver state's satellite table reads them, from
    // the readings above where they lie inside the groups.
    for (int j = 0; j < 4; ++j) {
        int* const to = &out.firstFields[static_cast<size_t>(4 * j)];
        if (3 + 4 * j + 3 < groupEnd) {
            const GsvGroup& g = out.groups[static_cast<size_t>(j)];
            to[0] = g.number.value_or(0);
            to[1] = g.elevation.value_or(0);
            to[2] = g.azimuth.value_or(0);
            to[3] = g.cnr.value_or(0);
            continue;
        }
        for (int k = 0; k < 4; ++k) {
            const int at = 3 + 4 * j + k;
            to[k] = at < fields ? ParseInteger(f[at]) : 0;
        }
    }
}

void DecodeGsvTable(const SentenceFields& f, GsvMessage& out)
{
    out.total = OptionalInteger(f[0]);
    out.number = OptionalInteger(f[1]);
    out.inView = OptionalInteger(f[2]);
    for (int i = 0; i < 16; ++i)
        out.firstFields[static_cast<size_t>(i)] = 3 + i < f.Count() ? ParseInteger(f[3 + i]) : 0;
}

GsaFields DecodeGsa(const SentenceFields& f)
{
    GsaFields out;
    if (const std::string_view mode = f[0]; !mode.empty())
        out.mode = mode[0];
    if (const std::string_view type = f[1]; !type.empty())
        out.fixType = type[0] - '0';
    for (int i = 0; i < 12; ++i) {
        const std::string_view text = f[2 + i];
        GsaSlot& slot = out.usedSlots[static_cast<size_t>(i)];
        slot.found = f.Found(2 + i);
        slot.present = !text.empty();
        if (slot.present) {
            slot.number = ParseInteger(text);
            slot.twoDigits = text.size() <= 2 ? slot.number : ParseInteger(text.substr(0, 2));
        }
    }
    out.pdop = f[14].empty() ? std::nullopt : std::optional<double>(ParseDecimal(f[14]));
    out.hdop = f[15].empty() ? std::nullopt : std::optional<double>(ParseDecimal(f[15]));
    out.vdop = f[16].empty() ? std::nullopt : std::optional<double>(ParseDecimal(f[16]));
    if (f.Count() >= 18)
        out.systemId = ParseInteger(f[17]);
    return out;
}

bool IsNmeaTime(std::string_view text)
{
    if (text.size() < 6 || !AllDigits(text.substr(0, 6)))
        return false;
    const std::string_view fraction = text.substr(6);
    if (!fraction.empty() && (fraction[0] != '.' || !AllDigits(fraction.substr(1))))
        return false;
    return Digits(text, 0, 2) <= 23 && Digits(text, 2, 2) <= 59 && Digits(text, 4, 2) <= 60;
}

std::string FormatNmeaTime(std::string_view text)
{
    if (!IsNmeaTime(text))
        return {};
    const std::string_view fraction = text.substr(6);
    std::string out;
    out.reserve(8 + fraction.size());
    out.append(text.substr(0, 2)).append(":").append(text.substr(2, 2)).append(":").append(text.substr(4, 2));
    out.append(fraction);
    return out;
}

RmcFields DecodeRmc(const SentenceFields& f)
{
    RmcFields out;
    out.time = FormatNmeaTime(f[0]);
    if (const char s = OneLetter(f[1]); s == 'A' || s == 'V')
        out.status = s;
    if (const std::string_view d = f[8]; d.size() == 6 && AllDigits(d)) {
        const int yy = Digits(d, 4, 2);
        out.date = CheckedDate(yy < 80 ? 2000 + yy : 1900 + yy, Digits(d, 2, 2), Digits(d, 0, 2));
    }
    out.mode = OneLetter(f[11]);
    return out;
}

ZdaFields DecodeZda(const SentenceFields& f)
{
    ZdaFields out;
    out.time = FormatNmeaTime(f[0]);
    const std::string_view day = f[1];
    const std::string_view month = f[2];
    const std::string_view year = f[3];
    if (day.size() == 2 && month.size() == 2 && year.size() == 4 && AllDigits(day) && AllDigits(month)
        && AllDigits(year))
        out.date = CheckedDate(Digits(year, 0, 4), Digits(month, 0, 2), Digits(day, 0, 2));
    out.zoneHours = OptionalInteger(f[4]);
    out.zoneMinutes = OptionalInteger(f[5]);
    return out;
}

GnsFields DecodeGns(const SentenceFields& f)
{
    GnsFields out;
    out.modes = std::string(f[5].substr(0, 16));
    out.satsUsed = OptionalInteger(f[6]);
    out.hdop = OptionalDecimal(f[7]);
    return out;
}

GstFields DecodeGst(const SentenceFields& f)
{
    return {OptionalDecimal(f[1]), OptionalDecimal(f[2]), OptionalDecimal(f[3]), OptionalDecimal(f[4]),
            OptionalDecimal(f[5]), OptionalDecimal(f[6]), OptionalDecimal(f[7])};
}

GbsFields DecodeGbs(const SentenceFields& f)
{
    GbsFields out;
    out.errLat = OptionalDecimal(f[1]);
    out.errLon = OptionalDecimal(f[2]);
    out.errAlt = OptionalDecimal(f[3]);
    out.suspect = OptionalInteger(f[4]);
    out.probability = OptionalDecimal(f[5]);
    out.bias = OptionalDecimal(f[6]);
    out.sigma = OptionalDecimal(f[7]);
    out.systemId = ParseInteger(f[8]);
    return out;
}
