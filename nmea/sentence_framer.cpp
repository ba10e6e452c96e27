#include "nmea/sentence_framer.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

int SentenceFramer::OnSentence(const char*, const char*) { return 0; }

void SentenceFramer::OnChecksumError(const char*, const char*) {}

int SentenceFramer::Deliver()
{
    m_data[m_fieldIndex] = '\0';
    m_framerState = StateWaitStart;
    OnSentence(m_address, m_data);
    return 1;
}

int SentenceFramer::ProcessByte(uint8_t b)
{
    switch (m_framerState) {
    case StateWaitStart:
        // Everything outside a sentence, the CR LF of the last one included.
        if (b != '$') {
            ++m_outsideBytes;
            return 0;
        }
        m_checksum = 0;
        m_fieldIndex = 0;
        m_framerState = StateAddress;
        return 0;

    case StateAddress:
        if (b == ',' || b == '*') {
            // A '*' right after the address ends it too; the framer then
            // stays in the data and the sentence ends at the carriage return.
            m_address[m_fieldIndex] = '\0';
            m_addressLength = static_cast<uint8_t>(m_fieldIndex);
            m_checksum ^= b;
            m_fieldIndex = 0;
            m_framerState = StateData;
            return 0;
        }
        m_address[m_fieldIndex] = static_cast<char>(b);
        m_checksum ^= b;
        if (++m_fieldIndex >= kAddressSize) {
            m_framerState = StateWaitStart;  // no address is that long: drop it
            OnTooLong();
        }
        return 0;

    case StateData:
        if (b == '*') {
            m_data[m_fieldIndex] = '\0';
            m_framerState = StateChecksumHigh;
            return 0;
        }
        if (b == '\r')
            return Deliver();  // a sentence without checksum
        m_checksum ^= b;
        m_data[m_fieldIndex] = static_cast<char>(b);
        if (++m_fieldIndex >= kDataSize) {
            m_framerState = StateWaitStart;
            OnTooLong();
        }
        return 0;

    case StateChecksumHigh: {
        // Not validated as hexadecimal: digits and upper-case letters decode
        // as NMEA says, anything else decodes to some value that will rarely
        // match.
        const uint8_t v = b > '9' ? static_cast<uint8_t>(b - 7) : b;
        m_rxChecksum = static_cast<uint8_t>(v << 4);
        m_framerState = StateChecksumLow;
        return 0;
    }

    case StateChecksumLow: {
        m_rxChecksum |= b > '9' ? static_cast<uint8_t>(b - 55) : static_cast<uint8_t>(b - 48);
        m_framerState = StateWaitStart;
        if (m_rxChecksum == m_checksum) {
            OnSentence(m_address, m_data);
            return 1;
        }
        OnChecksumError(m_address, m_data);
        return 0;
    }

    default:
        m_framerState = StateWaitStart;
        return 0;
    }
}

namespace {

constexpr uint64_t kOnes = 0x0101010101010101ULL;
constexpr uint64_t kHighs = 0x8080808080808080ULL;

// Non-zero when one of the eight bytes of `v` equals `b` (the classic
// "has zero byte" test applied to v ^ b).
inline uint64_t HasByte(uint64_t v, uint8_t b)
{
    const uint64_t x = v ^ (kOnes * b);
    return (x - kOnes) & ~x & kHighs;
}

inline uint8_t FoldXor(uint64_t v)
{
    v ^= v >> 32;
    v ^= v >> 16;
    v ^= v >> 8;
    return static_cast<uint8_t>(v);
}

}  // namespace

// Copies plain data characters from `p` up to the next '*' or CR, XORing
// them into `sum`, and stops short of the buffer's last byte so that the
// byte-wise path decides what happens there. Sixteen bytes a step where
// SSE2 is there, eight otherwise.
uint8_t SentenceFramer::CopyData(const uint8_t*& p, const uint8_t* end, uint16_t& index, uint8_t sum)
{
#if defined(__SSE2__)
    // Loaded at 16 - n: the first n bytes all ones, the rest zero.
    alignas(16) static constexpr uint8_t kPrefix[32] = {
        0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    const __m128i star = _mm_set1_epi8('*');
    const __m128i cr = _mm_set1_epi8('\r');
    __m128i acc = _mm_setzero_si128();
    while (end - p >= 16 && index + 16 < kDataSize) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const auto stops = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, star), _mm_cmpeq_epi8(v, cr))));
        // Bytes past a stop land beyond the data's end, where nothing reads them.
        _mm_storeu_si128(reinterpret_cast<__m128i*>(m_data + index), v);
        if (stops == 0) {
            acc = _mm_xor_si128(acc, v);
            index = static_cast<uint16_t>(index + 16);
            p += 16;
            continue;
        }
        const int n = std::countr_zero(stops);
        acc = _mm_xor_si128(acc, _mm_and_si128(v, _mm_loadu_si128(reinterpret_cast<const __m128i*>(kPrefix + 16 - n))));
        index = static_cast<uint16_t>(index + n);
        p += n;
        break;
    }
    uint64_t halves[2];
    std::memcpy(halves, &acc, sizeof halves);
    sum ^= FoldXor(halves[0] ^ halves[1]);
#else
    uint64_t checksum = 0;
    while (end - p >= 8 && index + 8 < kDataSize) {
        uint64_t v;
        std::memcpy(&v, p, 8);
        if (HasByte(v, '*') | HasByte(v, '\r'))
            break;
        checksum ^= v;
        std::memcpy(m_data + index, p, 8);
        index = static_cast<uint16_t>(index + 8);
        p += 8;
    }
    sum ^= FoldXor(checksum);
#endif
    while (p < end && index < kDataSize - 1) {
        const uint8_t b = *p;
        if (b == '*' || b == '\r')
            break;
        sum ^= b;
        m_data[index++] = static_cast<char>(b);
        ++p;
    }
    return sum;
}

size_t SentenceFramer::ProcessBytes(const uint8_t* bytes, size_t count)
{
    size_t delivered = 0;
    const uint8_t* p = bytes;
    const uint8_t* const end = bytes + count;
    while (p < end) {
        if (m_framerState == StateWaitStart) {
            // Usually the '$' follows right after the CR LF of the last
            // sentence; memchr pays off only over longer junk.
            const uint8_t* const near = end - p > 16 ? p + 16 : end;
            const uint8_t* const from = p;
            while (p < near && *p != '$')
                ++p;
            if (p == near && p < end) {
                const void* start = std::memchr(p, '$', static_cast<size_t>(end - p));
                p = start == nullptr ? end : static_cast<const uint8_t*>(start);
            }
            m_outsideBytes += static_cast<uint64_t>(p - from);
            if (p == end)
                return delivered;
            // The '$' as ProcessByte takes it, without its dispatch (an
            // indirect jump that the alternating states mispredict).
            m_checksum = 0;
            m_fieldIndex = 0;
            m_framerState = StateAddress;
            ++p;
            continue;
        } else if (m_framerState == StateData) {
            uint16_t index = m_fieldIndex;
            uint8_t sum = CopyData(p, end, index, m_checksum);
            m_checksum = sum;
            m_fieldIndex = index;
            if (p == end)
                return delivered;
            // The usual end "*hh" in one step, decoded as the byte-wise
            // states decode it.
            if (*p == '*' && end - p >= 3) {
                m_data[index] = '\0';
                const uint8_t high = p[1] > '9' ? static_cast<uint8_t>(p[1] - 7) : p[1];
                const uint8_t low = p[2] > '9' ? static_cast<uint8_t>(p[2] - 55) : static_cast<uint8_t>(p[2] - 48);
                m_rxChecksum = static_cast<uint8_t>(static_cast<uint8_t>(high << 4) | low);
                m_framerState = StateWaitStart;
                p += 3;
                if (m_rxChecksum == sum) {
                    OnSentence(m_address, m_data);
                    ++delivered;
                } else {
                    OnChecksumError(m_address, m_data);
                }
                continue;
            }
        } else if (m_framerState == StateAddress) {
            uint8_t sum = m_checksum;
            uint16_t index = m_fieldIndex;
            while (p < end && index < kAddressSize - 1) {
                const uint8_t b = *p;
                if (b == ',' || b == '*')
                    break;
                sum ^= b;
                m_address[index++] = static_cast<char>(b);
                ++p;
            }
            m_checksum = sum;
            m_fieldIndex = index;
            if (p == end)
                return delivered;
            if (const uint8_t b = *p; b == ',' || b == '*') {
                m_address[index] = '\0';
                m_addressLength = static_cast<uint8_t>(index);
                m_checksum = static_cast<uint8_t>(sum ^ b);
                m_fieldIndex = 0;
                m_framerState = StateData;
                ++p;
                continue;
            }
        }
        delivered += static_cast<size_t>(ProcessByte(*p++));
    }
    return delivered;
}

int SentenceFramer::GetField(const char* data, int index, char* out)
{
    if (data == nullptr || out == nullptr)
        return 0;
    const char* p = data;
    if (index > 0 && *p != '\0') {
        int commas = 0;
        while (commas < index) {
            if (*p == '\0') {
                out[0] = '\0';
                return 0;
            }
            if (*p++ == ',')
                ++commas;
        }
    }
    if (*p == ',' || *p == '*') {
        out[0] = '\0';
        return 0;
    }
    int n = 0;
    while (*p != '\0' && *p != ',' && *p != '*' && n < kFieldSize - 1)
        out[n++] = *p++;
    out[n] = '\0';
    return 1;
}
