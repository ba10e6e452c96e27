#include "link/link_health.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr auto kNoNmeaAfter = std::chrono::seconds(3);

// '$', the address, ',', the data, "*hh" and CR LF. A sentence without a
// checksum is counted 3 bytes long: the figure is a floor, never negative.
size_t FramedLength(size_t addressLength, size_t dataLength)
{
    return 1 + addressLength + 1 + dataLength + 3 + 2;
}

// The address's bytes up to its NUL as one number, and its length. The
// framer's address buffer is 8 bytes with a NUL within them.
uint64_t AddressKey(const char* address, size_t& length)
{
    uint64_t v = 0;
    std::memcpy(&v, address, 8);
    constexpr uint64_t kOnes = 0x0101010101010101ULL;
    constexpr uint64_t kHighs = 0x8080808080808080ULL;
    const uint64_t zero = (v - kOnes) & ~v & kHighs;  // little-endian: the first NUL is the lowest
    length = zero == 0 ? 8 : static_cast<size_t>(__builtin_ctzll(zero)) / 8;
    return length >= 8 ? v : v & ((uint64_t{1} << (8 * length)) - 1);
}

size_t Slot(uint64_t key, size_t slots) { return static_cast<size_t>((key * 0x9E3779B97F4A7C15ULL) >> 58) & (slots - 1); }

double Seconds(std::chrono::nanoseconds d) { return std::chrono::duration<double>(d).count(); }

std::string Format(const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace

void LinkHealth::Restart(TimePoint now)
{
    m_totals = LinkHealthTotals{};
    m_slotIndex.fill(0);
    m_totals.start = now;
    m_now = now;
}

void LinkHealth::OnBytes(size_t count, TimePoint now)
{
    m_now = now;
    m_totals.bytes += count;
    if (count > 0)
        m_totals.lastByte = now;
}

void LinkHealth::OnSentence(const char* address, size_t dataLength)
{
    size_t length = 0;
    const uint64_t key = AddressKey(address, length);
    ++m_totals.sentences;
    m_totals.framedBytes += FramedLength(length, dataLength);
    m_totals.lastValid = m_now;
    for (size_t probe = 0, slot = Slot(key, kSlots); probe < kSlots; ++probe, slot = (slot + 1) & (kSlots - 1)) {
        if (m_slotIndex[slot] != 0 && m_slotKeys[slot] == key) {
            ++m_totals.addresses[m_slotIndex[slot] - 1].count;
            return;
        }
        if (m_slotIndex[slot] == 0) {
            if (m_totals.addresses.size() == LinkHealthTotals::kAddresses)
                break;
            LinkHealthTotals::AddressCount added;
            std::memcpy(added.address.data(), address, std::min<size_t>(length, 7));
            added.count = 1;
            added.key = key;
            m_totals.addresses.push_back(added);
            m_slotKeys[slot] = key;
            m_slotIndex[slot] = static_cast<uint8_t>(m_totals.addresses.size());
            return;
        }
    }
    ++m_totals.otherAddresses;
}

void LinkHealth::OnChecksumError(const char* address, size_t dataLength)
{
    size_t length = 0;
    AddressKey(address, length);
    ++m_totals.checksumErrors;
    m_totals.framedBytes += FramedLength(length, dataLength);
}

void LinkHealth::OnFix()
{
    if (m_totals.fixes > 0)
        m_totals.longestFixGap = std::max(m_totals.longestFixGap,
                                          std::chrono::duration_cast<std::chrono::nanoseconds>(m_now - m_totals.lastFix));
    ++m_totals.fixes;
    m_totals.lastFix = m_now;
}

HealthRates ComputeHealthRates(const LinkHealthTotals& before, LinkHealthTotals::TimePoint beforeAt,
                               const LinkHealthTotals& now, LinkHealthTotals::TimePoint at, int baudRate, size_t top)
{
    HealthRates rates;
    rates.checksumErrors = now.checksumErrors;
    rates.bytesOutsideSentences = now.BytesOutsideSentences();
    rates.longestFixGapSeconds = Seconds(now.longestFixGap);
    if (now.sentences > 0)
        rates.secondsSinceValid = Seconds(at - now.lastValid);

    // A reading from before a restart counts from the restart.
    const bool sameSource = before.start == now.start;
    const LinkHealthTotals empty;
    const LinkHealthTotals& base = sameSource ? before : empty;
    const double seconds = Seconds(at - (sameSource ? beforeAt : now.start));
    if (seconds <= 0)
        return rates;
    auto rate = [&](uint64_t then, uint64_t later) { return later >= then ? static_cast<double>(later - then) / seconds : 0.0; };
    rates.bytesPerSecond = rate(base.bytes, now.bytes);
    if (baudRate > 0)
        rates.lineLoad = rates.bytesPerSecond * 10.0 / baudRate;
    rates.sentencesPerSecond = rate(base.sentences, now.sentences);
    rates.checksumErrorsPerSecond = rate(base.checksumErrors, now.checksumErrors);
    rates.fixRateHz = rate(base.fixes, now.fixes);

    for (size_t i = 0; i < now.addresses.size(); ++i) {
        const uint64_t then = i < base.addresses.size() ? base.addresses[i].count : 0;
        const double perSecond = rate(then, now.addresses[i].count);
        if (perSecond > 0)
            rates.topAddresses.emplace_back(now.addresses[i].address.data(), perSecond);
    }
    std::stable_sort(rates.topAddresses.begin(), rates.topAddresses.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    if (rates.topAddresses.size() > top)
        rates.topAddresses.resize(top);
    return rates;
}

std::string NoNmeaWarning(const LinkHealthTotals& totals, LinkHealthTotals::TimePoint at, int baudRate)
{
    const bool bytesLately = totals.bytes > 0 && at - totals.lastByte < kNoNmeaAfter;
    const LinkHealthTotals::TimePoint validSince = totals.sentences > 0 ? totals.lastValid : totals.start;
    if (!bytesLately || at - validSince < kNoNmeaAfter)
        return {};
    if (baudRate <= 0)
        return "Bytes arrive but no NMEA \u2014 is this an NMEA source?";
    return "Bytes arrive but no NMEA at " + std::to_string(baudRate) + " baud \u2014 wrong baud rate?";
}

std::string HealthPaneText(const HealthRates& rates)
{
    std::string text = rates.bytesPerSecond >= 1000 ? Format("%.1f kB/s", rates.bytesPerSecond / 1000)
                                                    : Format("%.0f B/s", rates.bytesPerSecond);
    if (rates.lineLoad >= 0)
        text += Format(" (%.0f%%)", rates.lineLoad * 100);
    text += Format(" \u00b7 %.1f Hz", rates.fixRateHz);
    text += " \u00b7 " + std::to_string(rates.checksumErrors) + " bad checksums";
    return text;
}

std::string HealthReportText(const HealthRates& rates, const LinkHealthTotals& totals)
{
    std::string text;
    auto line = [&](const std::string& name, const std::string& value) { text += name + ": " + value + "\n"; };
    line("Bytes per second", Format("%.0f", rates.bytesPerSecond));
    line("Line load", rates.lineLoad >= 0 ? Format("%.1f%% of the baud rate", rates.lineLoad * 100) : "no serial line");
    line("Sentences per second", Format("%.1f", rates.sentencesPerSecond));
    for (const auto& [address, perSecond] : rates.topAddresses)
        line("  " + address, Format("%.1f/s", perSecond));
    line("Checksum errors", std::to_string(rates.checksumErrors) + Format(" (%.2f/s)", rates.checksumErrorsPerSecond));
    line("Dropped as too long", std::to_string(totals.tooLong));
    line("Invalid (refused)", std::to_string(totals.invalid));
    line("Bytes outside sentences", std::to_string(rates.bytesOutsideSentences));
    line("Since the last valid sentence",
         rates.secondsSinceValid < 0 ? std::string("none yet") : Format("%.1f s", rates.secondsSinceValid));
    line("Fix rate", Format("%.1f Hz", rates.fixRateHz));
    line("Longest gap between fixes", Format("%.1f s", rates.longestFixGapSeconds));
    if (totals.datagramsDropped > 0)
        line("Datagrams dropped", std::to_string(totals.datagramsDropped) + " (the reader fell behind the sender)");
    line("Totals", std::to_string(totals.bytes) + " bytes, " + std::to_string(totals.sentences) + " sentences, " +
                       std::to_string(totals.fixes) + " fixes");
    return text;
}
