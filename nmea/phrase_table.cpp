#include "nmea/phrase_table.h"

#include <iterator>

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

// The table's entry for a three-letter type; a switch the compiler turns
// into a few compares, kept in step with the table by the static_assert.
const Phrase* PhraseOf(uint32_t key)
{
    static_assert(std::size(kPhrases) == 9);
    switch (key) {
    case Key('G', 'G', 'A'): return &kPhrases[0];
    case Key('G', 'S', 'A'): return &kPhrases[1];
    case Key('V', 'T', 'G'): return &kPhrases[2];
    case Key('G', 'S', 'V'): return &kPhrases[3];
    case Key('R', 'M', 'C'): return &kPhrases[4];
    case Key('Z', 'D', 'A'): return &kPhrases[5];
    case Key('G', 'N', 'S'): return &kPhrases[6];
    case Key('G', 'S', 'T'): return &kPhrases[7];
    case Key('G', 'B', 'S'): return &kPhrases[8];
    default: return nullptr;
    }
}

// Addresses are at most seven characters: a plain loop beats memchr here.
bool Contains(std::string_view text, std::string_view part)
{
    if (part.size() > text.size())
        return false;
    for (size_t i = 0; i + part.size() <= text.size(); ++i) {
        size_t j = 0;
        while (j < part.size() && text[i + j] == part[j])
            ++j;
        if (j == part.size())
            return true;
    }
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
            if (p->state && !(address[0] == 'V' && address[1] == 'T')) {
                kind.state = p->sentence;
                return kind;
            }
        }
    }
    kind.state = StateTypeBySubstring(address);
    return kind;
}
