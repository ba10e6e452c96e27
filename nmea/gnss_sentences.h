#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "nmea/number_text.h"

// Decoders of the sentences the GNSS model reads: each a free function that
// fills a plain struct from the fields of one sentence, with no state. They
// keep what the receiver sent; deciding systems and cycles is the model's.

// The data of one sentence (what follows the address and its comma) cut at
// the commas. Offsets rather than views keep it small and cheap to build;
// fields past kMaxFields are not seen (framed data is at most 255
// characters, so only hand-made text gets there).
class SentenceFields {
public:
    static constexpr int kMaxFields = 256;

    explicit SentenceFields(std::string_view data);
    // The same for NUL-terminated text, found in the one pass that splits it.
    explicit SentenceFields(const char* data);

    int Count() const { return m_count; }
    // Whether the field is there as the receiver state's decoders see it: not
    // missing, and not an empty field followed by a comma. An empty last
    // field, and any field of an empty text, count as there.
    bool Found(int index) const
    {
        if (m_data.empty())
            return true;
        if (index < 0 || index >= m_count)
            return false;
        return m_cut[index + 1] - 1 > m_cut[index] || index == m_count - 1;
    }
    // Empty for a missing field.
    std::string_view operator[](int index) const
    {
        if (index < 0 || index >= m_count)
            return {};
        return Field(index);  // the cuts lie inside the data: no need for substr's checks
    }

    // The same for an index known to be below Count().
    std::string_view Field(int index) const
    {
        return std::string_view(m_data.data() + m_cut[index], m_cut[index + 1] - 1 - m_cut[index]);
    }

private:
    std::string_view m_data;
    int m_count = 0;
    // Field k runs from m_cut[k] to just before m_cut[k + 1] (one past its
    // comma, or past its end for the last). Only the first m_count + 1
    // entries are written: filling all of them for every sentence would
    // cost more than the split.
    // Eight spare entries: the split stores eight cuts at a time.
    uint32_t m_cut[kMaxFields + 9];
};

// Absent when the field is empty: "never 0 for absent".
inline std::optional<int> OptionalInteger(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    return stelmap::ParseInteger(text);
}
std::optional<double> OptionalDecimal(std::string_view text);

struct GsvSatellite {
    int number = 0;
    std::optional<int> elevation;
    std::optional<int> azimuth;
    std::optional<int> cnr;

    bool operator==(const GsvSatellite&) const = default;
};

// One group of four fields (number, elevation, azimuth, C/N0) where it
// stands in the message; a group cut short lacks its last fields.
struct GsvGroup {
    std::optional<int> number;  // absent when empty
    bool numberIsNumber = false;  // the number field starts with a digit
    std::optional<int> elevation;
    std::optional<int> azimuth;
    std::optional<int> cnr;

    bool operator==(const GsvGroup&) const = default;
};

struct GsvMessage {
    static constexpr int kMaxGroups = SentenceFields::kMaxFields / 4;

    std::optional<int> total;   // absent when empty
    std::optional<int> number;  // absent when empty
    std::optional<int> inView;
    int signal = 0;  // 0: not given (before NMEA 4.10)
    // Quectel's PQGSV: a system ID after the signal ID (0 when not sent).
    int systemId = 0;
    int groupCount = 0;
    std::array<GsvGroup, kMaxGroups> groups{};
    // The integer reading of fields 3 to 18 as the receiver state's GSV table reads
    // them: by position, whatever they hold (a trailing signal ID too), 0
    // for an empty or missing field.
    std::array<int, 16> firstFields{};

    // The total and number are those of a message in a cycle: 1 to 99,
    // number at most total.
    bool InCycle() const
    {
        return total && number && *total >= 1 && *total <= 99 && *number >= 1 && *number <= 99 && *number <= *total;
    }
};

// $GPGSV,3,1,12,05,06,110,19,10,24,284,34,13,37,124,29,15,63,083,11,1*60
// Fields after the first three numbering 4n + 1 end in the signal ID;
// `withSystemId` (Quectel's PQGSV) reads 4n + 2 as signal ID and system ID.
void DecodeGsv(const SentenceFields& f, GsvMessage& out, bool withSystemId = false);
// Only what the receiver state's GSV table reads: total, number, in view and the
// first sixteen fields after them; the groups are left as they were.
void DecodeGsvTable(const SentenceFields& f, GsvMessage& out);

// One used-satellite slot of a GSA.
struct GsaSlot {
    bool found = false;   // as SentenceFields::Found
    bool present = false; // not empty
    int number = 0;       // the whole number
    int twoDigits = 0;    // the first two characters' reading (120 reads 12)

    bool operator==(const GsaSlot&) const = default;
};

struct GsaFields {
    std::optional<char> mode;     // first character
    std::optional<int> fixType;   // first character's digit value, as sent
    std::array<GsaSlot, 12> usedSlots{};
    std::optional<double> pdop;   // absent when empty
    std::optional<double> hdop;
    std::optional<double> vdop;
    int systemId = 0;             // 0: not given

    bool operator==(const GsaFields&) const = default;
};

// $GNGSA,A,3,13,16,21,15,10,29,27,20,,,,,1.05,0.64,0.83,1*03
// Fields 2-13 are the used numbers; the 18th field, when there is one, the
// system ID.
GsaFields DecodeGsa(const SentenceFields& f);

struct GnssDate {
    int year = 0;
    int month = 0;
    int day = 0;

    bool operator==(const GnssDate&) const = default;
};

// "hhmmss" with an optional fraction, as "hh:mm:ss" followed by the fraction
// as sent ("123456.20" gives "12:34:56.20"); empty when it is not a time.
std::string FormatNmeaTime(std::string_view text);
// Whether FormatNmeaTime reads `text` as a time, without building the text.
bool IsNmeaTime(std::string_view text);

struct RmcFields {
    std::string time;
    std::optional<GnssDate> date;
    char status = 0;  // 'A', 'V' or 0 when empty or anything else
    char mode = 0;    // NMEA 2.3 mode indicator, 0 when not sent

    bool operator==(const RmcFields&) const = default;
};

// $GNRMC,003956.00,A,4552.65403,S,17030.00668,E,0.025,,120419,,,A,V*07
// The year yy is 2000 + yy below 80, else 1900 + yy.
RmcFields DecodeRmc(const SentenceFields& f);

struct ZdaFields {
    std::string time;
    std::optional<GnssDate> date;
    std::optional<int> zoneHours;
    std::optional<int> zoneMinutes;

    bool operator==(const ZdaFields&) const = default;
};

// $GNZDA,003956.00,12,04,2019,00,00*7C
ZdaFields DecodeZda(const SentenceFields& f);

struct GnsFields {
    std::string modes;  // one letter per system: GPS, GLONASS, Galileo, BeiDou, QZSS, NavIC
    std::optional<int> satsUsed;
    std::optional<double> hdop;

    bool operator==(const GnsFields&) const = default;
};

// $GNGNS,103607.00,5327.03942,N,00214.42462,W,AANN,06,5.88,56.0,48.5,,,V*34
GnsFields DecodeGns(const SentenceFields& f);

struct GstFields {
    std::optional<double> rms;
    std::optional<double> major;
    std::optional<double> minor;
    std::optional<double> orientation;
    std::optional<double> sigmaLat;
    std::optional<double> sigmaLon;
    std::optional<double> sigmaAlt;

    bool operator==(const GstFields&) const = default;
};

// $GNGST,235647.00,0.003,0.054,0.044,139.7,0.050,0.049,0.070*49
GstFields DecodeGst(const SentenceFields& f);

struct GbsFields {
    std::optional<double> errLat;
    std::optional<double> errLon;
    std::optional<double> errAlt;
    std::optional<int> suspect;  // the number as sent
    std::optional<double> probability;
    std::optional<double> bias;
    std::optional<double> sigma;
    int systemId = 0;  // NMEA 4.10, 0 when not given

    bool operator==(const GbsFields&) const = default;
};

// $GNGBS,231412.00,0.1,0.1,0.1,04,,73.7,45.5,1,1*5A
// The ninth field, when sent (NMEA 4.10), is the suspect's system ID.
GbsFields DecodeGbs(const SentenceFields& f);
