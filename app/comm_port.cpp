#include "app/comm_port.h"

#include <algorithm>

#include "link/source_text.h"

namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && IsSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Case-insensitive first, so "/dev/ttyUSB0" and "/dev/ttyusb1" sit together;
// the plain byte order breaks ties to keep the sort deterministic.
bool TextLess(const std::string& a, const std::string& b)
{
    const bool less = std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
        [](char x, char y) { return AsciiLower(x) < AsciiLower(y); });
    const bool greater = std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(),
        [](char x, char y) { return AsciiLower(x) < AsciiLower(y); });
    if (less || greater)
        return less;
    return a < b;
}

// Cuts to at most max bytes without splitting a UTF-8 sequence.
std::string CutUtf8(std::string text, std::size_t max)
{
    if (text.size() <= max)
        return text;
    std::size_t end = max;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    text.resize(end);
    return text;
}

}  // namespace

CommPort CommPortFromText(std::string_view text)
{
    const std::string_view trimmed = Trimmed(text);
    const SourceParse parse = ParseSourceText(trimmed);
    if (parse.Ok() && parse.address.kind == SourceKind::Serial && parse.address.comNumber > 0)
        return CommPort{parse.address.comNumber, {}};
    // A text that names nothing is kept as typed, so that the open can say why.
    return CommPort{0, parse.Ok() ? SourceText(parse.address) : std::string(trimmed)};
}

std::string CommPortText(const CommPort& port)
{
    return port.IsPath() ? port.path : std::to_string(port.number);
}

std::string CommPortDevice(const CommPort& port)
{
    return port.IsPath() || port.number > 0 ? SerialDevicePath(CommPortText(port)) : std::string();
}

bool SameDevice(const CommPort& a, const CommPort& b)
{
    return SameSource(CommPortText(a), CommPortText(b));
}

std::string PortListEntryText(std::string_view port, std::string_view description)
{
    std::string text;
    text.reserve(port.size() + description.size() + 5);
    text.append(port).append(" - (").append(description).append(")");
    return CutUtf8(std::move(text), kPortEntryMaxLength);
}

std::vector<std::string> PortListEntries(
    const std::vector<std::pair<std::string, std::string>>& portsAndDescriptions)
{
    std::vector<std::string> entries;
    entries.reserve(portsAndDescriptions.size());
    for (const auto& [port, description] : portsAndDescriptions)
        entries.push_back(PortListEntryText(port, description));
    std::stable_sort(entries.begin(), entries.end(), TextLess);
    return entries;
}

std::string_view PortFromEntryText(std::string_view entry)
{
    const std::size_t separator = entry.find(" - (");
    return separator == std::string_view::npos ? entry : entry.substr(0, separator);
}
