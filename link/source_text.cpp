#include "link/source_text.h"

#include <charconv>

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && IsSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (Lower(text[i]) != prefix[i])
            return false;
    return true;
}

bool AllDigits(std::string_view text)
{
    if (text.empty())
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// A whole decimal number in [low, high], or -1.
int NumberIn(std::string_view text, int low, int high)
{
    int value = 0;
    if (!AllDigits(text))
        return -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < low || value > high)
        return -1;
    return value;
}

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

struct Scheme {
    std::string_view prefix;
    SourceKind kind;
};
constexpr Scheme kSchemes[] = {
    {"tcp://", SourceKind::Tcp},
    {"udp://", SourceKind::Udp},
    {"gpsd://", SourceKind::Gpsd},
};

bool HostCharacterAllowed(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u > 0x20 && u != 0x7F && c != '/' && c != '@' && c != '[' && c != ']' && c != '?' && c != '#';
}

SourceParse ParseNetwork(std::string_view scheme, SourceKind kind, std::string_view rest)
{
    SourceParse parse;
    parse.address.kind = kind;
    const std::string name(scheme);

    std::string_view host;
    std::string_view port;
    bool hasPort = false;
    if (!rest.empty() && rest.front() == '[') {
        // An IPv6 address: its colons would read as the port's.
        const size_t close = rest.find(']');
        if (close == std::string_view::npos) {
            parse.error = name + " address " + Quoted(rest) + " lacks its closing \"]\"";
            return parse;
        }
        host = rest.substr(1, close - 1);
        std::string_view after = rest.substr(close + 1);
        if (!after.empty()) {
            if (after.front() != ':') {
                parse.error = "unexpected " + Quoted(after) + " after the address in " + name;
                return parse;
            }
            hasPort = true;
            port = after.substr(1);
        }
        for (char c : host)
            if (!(c == ':' || c == '.' || c == '%' || (c >= '0' && c <= '9') || (Lower(c) >= 'a' && Lower(c) <= 'z'))) {
                parse.error = Quoted(host) + " is not an IPv6 address";
                return parse;
            }
    } else {
        const size_t colon = rest.rfind(':');
        host = rest.substr(0, colon);
        if (colon != std::string_view::npos) {
            hasPort = true;
            port = rest.substr(colon + 1);
        }
        if (host.find(':') != std::string_view::npos) {
            parse.error = "write an IPv6 address in brackets: " + name + "[" + std::string(host) + "]:PORT";
            return parse;
        }
        for (char c : host)
            if (!HostCharacterAllowed(c)) {
                parse.error = Quoted(host) + " is not a host name";
                return parse;
            }
    }

    const char* form = kind == SourceKind::Tcp   ? "tcp://HOST:PORT"
                       : kind == SourceKind::Udp ? "udp://[ADDRESS]:PORT"
                                                 : "gpsd://HOST[:PORT]";
    if (host.empty() && kind != SourceKind::Udp) {
        parse.error = std::string(form) + " needs a host";
        return parse;
    }
    if (!hasPort && kind != SourceKind::Gpsd) {
        parse.error = std::string(form) + " needs a port";
        return parse;
    }
    parse.address.host = std::string(host);
    parse.address.port = hasPort ? NumberIn(port, 1, 65535) : kGpsdDefaultPort;
    if (parse.address.port < 0)
        parse.error = "port " + Quoted(port) + " is not a number from 1 to 65535";
    return parse;
}

SourceParse ParseSerial(std::string_view text)
{
    SourceParse parse;
    SourceAddress& address = parse.address;
    const size_t at = text.rfind('@');
    if (at != std::string_view::npos) {
        const std::string_view baud = Trimmed(text.substr(at + 1));
        address.baud = NumberIn(baud, 1, 100000000);
        if (address.baud < 0) {
            parse.error = "baud rate " + Quoted(baud) + " is not a number";
            address.baud = 0;
            return parse;
        }
        text = Trimmed(text.substr(0, at));
    }
    // The saved text must read back as the same port, so a second "@" cannot
    // belong to the device's name.
    if (text.find('@') != std::string_view::npos) {
        parse.error = Quoted(text) + " is not a port: only one \"@BAUD\" may follow it";
        return parse;
    }
    if (text.empty()) {
        parse.error = "no port given";
        return parse;
    }

    std::string_view number = text;
    if (StartsWithNoCase(number, "com") && AllDigits(number.substr(3)))
        number.remove_prefix(3);
    if (AllDigits(number)) {
        // COMn of the other platform: its first port is Linux's ttyS0.
        address.comNumber = NumberIn(number, 1, 65536);
        if (address.comNumber < 0) {
            address.comNumber = 0;
            parse.error = "port " + Quoted(text) + " names no serial port (they count from 1)";
            return parse;
        }
        address.device = "/dev/ttyS" + std::to_string(address.comNumber - 1);
        return parse;
    }
    if (text.find("://") != std::string_view::npos) {
        parse.error = "unknown source " + Quoted(text) + ": use a serial port, tcp://, udp:// or gpsd://";
        return parse;
    }
    for (char c : text)
        if (c == '\0' || (text.front() != '/' && IsSpace(c))) {
            parse.error = Quoted(text) + " is not a port: give a number, a device path or a network source";
            return parse;
        }
    address.device = text.front() == '/' ? std::string(text) : "/dev/" + std::string(text);
    return parse;
}

}  // namespace

SourceParse ParseSourceText(std::string_view text)
{
    text = Trimmed(text);
    for (const Scheme& scheme : kSchemes)
        if (StartsWithNoCase(text, scheme.prefix))
            return ParseNetwork(scheme.prefix, scheme.kind, text.substr(scheme.prefix.size()));
    return ParseSerial(text);
}

std::string SourceText(const SourceAddress& address)
{
    if (address.kind == SourceKind::Serial)
        return address.comNumber > 0 ? std::to_string(address.comNumber) : address.device;
    std::string text = address.kind == SourceKind::Tcp ? "tcp://" : address.kind == SourceKind::Udp ? "udp://" : "gpsd://";
    if (address.host.find(':') != std::string::npos)
        text += "[" + address.host + "]";
    else
        text += address.host;
    if (address.kind != SourceKind::Gpsd || address.port != kGpsdDefaultPort)
        text += ":" + std::to_string(address.port);
    return text;
}

bool SameSource(std::string_view a, std::string_view b)
{
    SourceParse x = ParseSourceText(a);
    SourceParse y = ParseSourceText(b);
    if (!x.Ok() || !y.Ok())
        return false;
    // COM1 and /dev/ttyS0 open the same device; the rate is not the source.
    x.address.comNumber = y.address.comNumber = 0;
    x.address.baud = y.address.baud = 0;
    return x.address == y.address;
}

std::string SerialDevicePath(std::string_view port)
{
    const SourceParse parse = ParseSourceText(port);
    return parse.Ok() && parse.address.kind == SourceKind::Serial ? parse.address.device : std::string();
}
