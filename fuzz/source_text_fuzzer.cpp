// Feeds arbitrary texts to the one rule that reads a port or source text and
// checks that whatever it accepts reads back as the same source.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "link/source_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const SourceParse parsed = ParseSourceText(text);
    if (!parsed.Ok())
        return 0;
    const SourceAddress& a = parsed.address;
    if (a.IsNetwork() && (a.port < 1 || a.port > 65535))
        std::abort();
    const SourceParse again = ParseSourceText(SourceText(a));
    if (!again.Ok())
        std::abort();
    SourceAddress withoutBaud = a;
    withoutBaud.baud = 0;
    if (again.address != withoutBaud)
        std::abort();
    return 0;
}
