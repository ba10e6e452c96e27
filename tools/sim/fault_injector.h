#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/sim/sim_random.h"

struct InjectedOutput {
    std::string bytes;
    // Per sentence: it reaches a framer that is waiting for a '$', unchanged.
    std::vector<bool> intact;
    std::vector<size_t> ends;  // per sentence: where its bytes end in `bytes`
};

// Spoils a share of the sentences the way a bad line does: a wrong checksum
// digit, a sentence cut short (which also spoils the one after it), or a
// burst of binary noise before a sentence. The noise never holds a '$', so
// it cannot start a sentence of its own.
class FaultInjector {
public:
    FaultInjector(double rate, uint64_t seed);

    InjectedOutput Apply(const std::vector<std::string>& sentences);

    // The writer could not send the end of the last sentence.
    void MarkCutShort() { m_previousCut = true; }

    int Checksums() const { return m_checksums; }
    int Truncations() const { return m_truncations; }
    int NoiseBursts() const { return m_noiseBursts; }

private:
    double m_rate = 0.0;
    SimRandom m_random;
    bool m_previousCut = false;
    int m_checksums = 0;
    int m_truncations = 0;
    int m_noiseBursts = 0;
};
