#include "nmea/phrase_table.h"

#include <array>
#include <cstdint>
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

// A slot per type from its last two letters, distinct for the nine types
// (checked below): one table read and one compare instead of a chain of
// compares that the mix of types in a stream mispredicts.
constexpr unsigned Slot(char b, char c)
{
    return (static_cast<unsigned>(static_cast<uint8_t>(b)) + 2u * static_cast<uint8_t>(c)) & 15u;
}

constexpr std::array<int8_t, 16> MakeSlots()
{
    std::array<int8_t, 16> slots{};
    slots.fill(-1);
    for (size_t i = 0; i < std::size(kPhrases); ++i)
        slots[Slot(kPhrases[i].type[1], kPhrases[i].type[2])] = static_cast<int8_t>(i);
    return slots;
}

constexpr std::array<int8_t, 16> kSlots = MakeSlots();

constexpr bool SlotsDistinct()
{
    for (size_t i = 0; i < std::size(kPhrases); ++i)
        if (kSlots[Slot(kPhrases[i].type[1], kPhrases[i].type[2])] != static_cast<int8_t>(i))
            return false;
    return true;
}
static_assert(SlotsDistinct(), "two types share a slot: change Slot");

// The table's entry for a three-letter type.
const Phrase* PhraseOf(char a, char b, char c)
{
    const int i = kSlots[Slot(b, c)];
    if (i < 0)
        return nullptr;
    const Phrase& p = kPhrases[i];
    return p.type[0] == a && p.type[1] == b && p.type[2] == c ? &p : nullptr;
}


SentenceType StateTypeBySubstring(std::string_view address)
{
    for (const Phrase& p : kPhrases)
        if (p.state && AddressContains(address, p.type))
            return p.sentence;
    if (AddressContains(address, "PXTNCFG"))
        return SentenceType::ConfigReply;
    if (AddressContains(address, "RAIM"))
        return SentenceType::Raim;
    return SentenceType::Other;
}

}  // namespace

// Addresses are at most seven characters: a plain loop beats memchr here.
bool AddressContains(std::string_view text, std::string_view part)
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

AddressKind ClassifyAddress(std::string_view address)
{
    AddressKind kind;
    if (address.size() == 5) {
        if (const Phrase* p = PhraseOf(address[2], address[3], address[4])) {
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
