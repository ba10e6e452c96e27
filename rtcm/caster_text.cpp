#include "rtcm/caster_text.h"

#include <charconv>
#include <optional>

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i])
            return false;
    }
    return true;
}

int Hex(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::optional<std::string> Unescape(std::string_view text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size() || Hex(text[i + 1]) < 0 || Hex(text[i + 2]) < 0)
            return std::nullopt;
        out += static_cast<char>(Hex(text[i + 1]) * 16 + Hex(text[i + 2]));
        i += 2;
    }
    return out;
}

std::string Escape(std::string_view text)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '%' || c == '@' || c == ':' || c == '/' || u <= ' ' || u >= 0x7F) {
            out += '%';
            out += kDigits[u >> 4];
            out += kDigits[u & 15];
        } else {
            out += c;
        }
    }
    return out;
}

bool Printable(std::string_view text)
{
    for (char c : text)
        if (static_cast<unsigned char>(c) <= ' ' || static_cast<unsigned char>(c) >= 0x7F)
            return false;
    return true;
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '\r' || text.front() == '\n'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' || text.back() == '\n'))
        text.remove_suffix(1);
    return text;
}

}  // namespace

CasterParse ParseCasterText(std::string_view text)
{
    CasterParse result;
    text = Trim(text);
    constexpr std::string_view kScheme = "ntrip://";
    if (!StartsWithNoCase(text, kScheme)) {
        result.error = "a caster is named ntrip://[USER[:PASSWORD]@]HOST[:PORT]/MOUNTPOINT";
        return result;
    }
    text.remove_prefix(kScheme.size());
    CasterAddress& a = result.address;

    // The authority ends at the first '/' after the credentials; a
    // password may hold '/' only escaped, so the last '@' before that
    // '/' ends the credentials.
    const size_t slash = text.find('/');
    std::string_view authority = text.substr(0, slash);
    std::string_view mountpoint = slash == std::string_view::npos ? std::string_view() : text.substr(slash + 1);
    const size_t at = authority.rfind('@');
    if (at != std::string_view::npos) {
        const std::string_view credentials = authority.substr(0, at);
        authority.remove_prefix(at + 1);
        const size_t colon = credentials.find(':');
        const auto user = Unescape(credentials.substr(0, colon));
        const auto password = Unescape(colon == std::string_view::npos ? std::string_view() : credentials.substr(colon + 1));
        if (!user || !password) {
            result.error = "a bad %-escape in the user name or password";
            return result;
        }
        if (user->empty()) {
            result.error = "the user name is empty";
            return result;
        }
        a.user = *user;
        a.password = *password;
        a.hasCredentials = true;
    }

    std::string_view portText;
    bool hasPort = false;
    if (!authority.empty() && authority.front() == '[') {
        const size_t close = authority.find(']');
        if (close == std::string_view::npos) {
            result.error = "an IPv6 address lacks its closing ']'";
            return result;
        }
        a.host = std::string(authority.substr(1, close - 1));
        const std::string_view rest = authority.substr(close + 1);
        if (!rest.empty() && rest.front() != ':') {
            result.error = "text after the IPv6 address: put the port after ':'";
            return result;
        }
        if (!rest.empty()) {
            portText = rest.substr(1);
            hasPort = true;
        }
        if (a.host.find_first_not_of("0123456789abcdefABCDEF:.%") != std::string::npos || a.host.empty()) {
            result.error = "not an IPv6 address between the brackets";
            return result;
        }
    } else {
        const size_t colon = authority.find(':');
        a.host = std::string(authority.substr(0, colon));
        if (colon != std::string_view::npos) {
            portText = authority.substr(colon + 1);
            hasPort = true;
            if (portText.find(':') != std::string_view::npos) {
                result.error = "an IPv6 address goes in brackets: ntrip://[ADDRESS]:PORT/MOUNTPOINT";
                return result;
            }
        }
    }
    if (a.host.empty()) {
        result.error = "the caster's host is missing";
        return result;
    }
    if (!Printable(a.host) || a.host.find_first_of("[]@/?#") != std::string::npos) {
        result.error = "the caster's host holds characters a host name cannot";
        return result;
    }
    if (authority.find(']') != std::string_view::npos && authority.front() != '[') {
        result.error = "the caster's host holds characters a host name cannot";
        return result;
    }
    if (hasPort) {
        int port = 0;
        const auto [end, ec] = std::from_chars(portText.data(), portText.data() + portText.size(), port);
        if (portText.empty() || ec != std::errc() || end != portText.data() + portText.size() || port < 1 ||
            port > 65535) {
            result.error = "the port must be a number from 1 to 65535";
            return result;
        }
        a.port = port;
    }
    if (!Printable(mountpoint) || mountpoint.find_first_of("/?#") != std::string_view::npos) {
        result.error = "a mountpoint is one word without spaces or '/'";
        return result;
    }
    a.mountpoint = std::string(mountpoint);
    return result;
}

std::string CasterTextWithoutPassword(const CasterAddress& address)
{
    std::string text = "ntrip://";
    if (address.hasCredentials)
        text += Escape(address.user) + "@";
    if (address.host.find(':') != std::string::npos)
        text += "[" + address.host + "]";
    else
        text += address.host;
    if (address.port != kNtripDefaultPort)
        text += ":" + std::to_string(address.port);
    text += "/" + address.mountpoint;
    return text;
}

bool ApplyCredentials(CasterAddress& address, const char* value)
{
    if (value == nullptr || *value == '\0')
        return true;
    const std::string_view text(value);
    const size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0)
        return false;
    if (address.hasCredentials)
        return true;
    address.user = std::string(text.substr(0, colon));
    address.password = std::string(text.substr(colon + 1));
    address.hasCredentials = true;
    return true;
}
