#include "nmea/phrase_table.h"

namespace {

struct Phrase {
    char type[4];
    SentenceType sentence;
    bool state;  // read by the receiver state
    bool model;  // read by the GNSS model
};

// The receiver state's types in the order it tests them: an address that
// holds two of them is the first one's.
constexpr Phrase kPhrases[] = {
    {"GGA", SentenceType::Gga, true, true},
    {"GSA", SentenceType::Gsa, true, true},
    {"VTG", SentenceType::Vtg, true, false},
    {"GSV", SentenceType::Gsv, true, true},
    {"RMC", SentenceType::Rmc, false, true},
    {"ZDA", SentenceType::Zda, false, true},
    {"GNS", SentenceType::Gns, false, true},
    {"GST", SentenceType::Gst, false, true},
    {"GBS", SentenceType::Gbs, false, true},
};

constexpr uint32_t Key(char a, char b, char c)
{
    return static_cast<uint32_t>(static_cast<uint8_t>(a)) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(b)) << 8
           | static_cast<uint8_t>(c);
}

const Phrase* PhraseOf(uint32_t key)
{
    for (const Phrase& p : kPhrases)
        if (Key(p.type[0], p.type[1], p.type[2]) == key)
            return &p;
    return nullptr;
}

// Addresses are at most seven characters: a plain loop beats memchr here.
bool Contains(std::string_view text, std::string_view part)
{
    if (part.size() > text.size())
        return false;
    for (size_t i = 0; i + part.size() <= text.size(); ++i)
        if (text.substr(i, part.size()) == part)
            return true;
    return false;
}

SentenceType StateTypeBySubstring(std::string_view address)
{
    for (const Phrase& p : kPhrases)
        if (p.state && Contains(address, p.type))
            return p.sentence;
    if (Contains(address, "PXTNCFG"))
        return SentenceType::ConfigReply;
    if (Contains(address, "RAIM"))
        return SentenceType::Raim;
    return SentenceType::Other;
}

}  // namespace

AddressKind ClassifyAddress(std::string_view address)
{
    AddressKind kind;
    if (address.size() == 5) {
        if (const Phrase* p = PhraseOf(Key(address[2], address[3], address[4]))) {
            kind.model = p->model ? p->sentence : SentenceType::Other;
            // In five characters a state type in the last three leaves room
            // for an earlier-tested one only in "VTGSV".
            if (p->state && !address.starts_with("VT")) {
                kind.state = p->sentence;
                return kind;
            }
        }
    }
    kind.state = StateTypeBySubstring(address);
    return kind;
}
