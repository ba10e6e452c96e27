#pragma once

#include <cstdint>

// When one read of the link delivered bytes: where its bytes begin in the
// stream they belong to, and the time of the read on both clocks.
struct ReadStamp {
    uint64_t begin = 0;
    int64_t steadyUs = 0;  // std::chrono::steady_clock, microseconds
    int64_t utcUs = 0;     // std::chrono::system_clock, microseconds since 1970

    bool operator==(const ReadStamp&) const = default;
};
