#pragma once

#include <cstdint>
#include <string_view>

// The sentence types this program decodes, and which reader takes each.
enum class SentenceType : uint8_t {
    Other,
    Gga,
    Gsa,
    Vtg,
    Gsv,
    ConfigReply,  // $PXTNCFG
    Raim,         // $GPRAIM
    Rmc,
    Zda,
    Gns,
    Gst,
    Gbs,
};

// What an address means to the two readers of a sentence. The receiver
// state finds its types anywhere in the address (every talker, and
// proprietary addresses, are accepted); the GNSS model only as the last
// three of five characters, the first two being the talker.
struct AddressKind {
    SentenceType state = SentenceType::Other;
    SentenceType model = SentenceType::Other;
};

AddressKind ClassifyAddress(std::string_view address);

// Whether `part` stands anywhere in `address`: the receiver state's rule for
// sentence types and talkers.
bool AddressContains(std::string_view address, std::string_view part);
