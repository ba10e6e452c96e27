#include "tools/sim/fault_injector.h"

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

}  // namespace

FaultInjector::FaultInjector(double rate, uint64_t seed)
    : m_rate(rate)
    , m_random(seed ^ 0xfa017ULL)
{
}

InjectedOutput FaultInjector::Apply(const std::vector<std::string>& sentences)
{
    InjectedOutput out;
    for (const std::string& sentence : sentences) {
        bool intact = !m_previousCut;
        m_previousCut = false;
        if (m_rate <= 0.0 || m_random.Uniform() >= m_rate) {
            out.bytes += sentence;
            out.intact.push_back(intact);
            out.ends.push_back(out.bytes.size());
            continue;
        }
        const size_t star = sentence.rfind('*');
        switch (m_random.Integer(0, 2)) {
        case 0:
            if (star != std::string::npos && star + 2 < sentence.size()) {
                std::string spoiled = sentence;
                const size_t digit = star + 1 + static_cast<size_t>(m_random.Integer(0, 1));
                const char was = spoiled[digit];
                do
                    spoiled[digit] = kHex[m_random.Integer(0, 15)];
                while (spoiled[digit] == was);
                out.bytes += spoiled;
                intact = false;
                ++m_checksums;
                break;
            }
            [[fallthrough]];
        case 1: {
            // Keep at least the '$', lose at least the CR LF.
            const int cut = m_random.Integer(1, static_cast<int>(sentence.size()) - 3);
            out.bytes.append(sentence, 0, static_cast<size_t>(cut));
            intact = false;
            m_previousCut = true;
            ++m_truncations;
            break;
        }
        default: {
            const int length = m_random.Integer(4, 32);
            for (int i = 0; i < length; ++i) {
                char b = '$';
                while (b == '$')
                    b = static_cast<char>(m_random.Integer(0, 255));
                out.bytes += b;
            }
            out.bytes += sentence;
            ++m_noiseBursts;
            break;
        }
        }
        out.intact.push_back(intact);
        out.ends.push_back(out.bytes.size());
    }
    return out;
}
