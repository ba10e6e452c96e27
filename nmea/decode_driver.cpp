#include "nmea/decode_driver.h"

#include <cstring>

#include "nmea/receiver_state.h"

// The address as text ends at a NUL byte that binary junk may have put in it.
std::string_view DecodeDriver::Address(const char* address) const
{
    // Seven characters at most: a plain loop beats a call to memchr.
    const size_t length = AddressLength();
    size_t n = 0;
    while (n < length && address[n] != '\0')
        ++n;
    return {address, n};
}

const SentenceCounts& DecodeDriver::Counts() const
{
    m_counts.outsideBytes = OutsideBytes();
    return m_counts;
}

int DecodeDriver::OnSentence(const char* address, const char* data)
{
    ++m_counts.sentences;
    const std::string_view a = Address(address);
    const std::string_view d(data, DataLength());
    const AddressKind kind = ClassifyAddress(a);
    const ReceiverState::Taken taken = m_state.Decode(a, d, kind);
    if (taken == ReceiverState::Taken::Invalid) {
        ++m_counts.invalid;
        if (m_observer != nullptr)
            m_observer->OnInvalid(a, d);
    }
    if (m_observer != nullptr)
        m_observer->OnSentence(a, d, kind);
    if (taken == ReceiverState::Taken::Fix) {
        ++m_counts.fixes;
        if (m_observer != nullptr)
            m_observer->OnFix();
    }
    return 1;
}

void DecodeDriver::OnChecksumError(const char* address, const char* data)
{
    ++m_counts.checksumErrors;
    if (m_observer != nullptr)
        m_observer->OnChecksumError(Address(address), std::string_view(data, DataLength()));
}

void DecodeDriver::OnTooLong()
{
    ++m_counts.tooLong;
    if (m_observer != nullptr)
        m_observer->OnTooLong();
}
