#pragma once

#include <functional>
#include <utility>

#include "link/link_health.h"
#include "nmea/decode_driver.h"

// Counts the link's health as a decode driver meets sentences, and hands
// each fix on after counting it. The counting adds no pass over the bytes.
class HealthObserver : public DecodeObserver {
public:
    explicit HealthObserver(LinkHealth* health, std::function<void()> onFix = {})
        : m_health(health)
        , m_onFix(std::move(onFix))
    {
    }

    void OnSentence(std::string_view address, std::string_view data, AddressKind) override
    {
        if (m_health != nullptr)
            m_health->OnSentence(address.data(), data.size());  // the framer's NUL-ended address
    }
    void OnChecksumError(std::string_view address, std::string_view data) override
    {
        if (m_health != nullptr)
            m_health->OnChecksumError(address.data(), data.size());
    }
    void OnTooLong() override
    {
        if (m_health != nullptr)
            m_health->OnTooLong();
    }
    void OnInvalid(std::string_view, std::string_view) override
    {
        if (m_health != nullptr)
            m_health->OnInvalid();
    }
    void OnFix() override
    {
        if (m_health != nullptr)
            m_health->OnFix();
        if (m_onFix)
            m_onFix();
    }

private:
    LinkHealth* m_health;
    std::function<void()> m_onFix;
};
