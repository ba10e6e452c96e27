#include "app/correction_replay.h"

#include <algorithm>
#include <fstream>
#include <iterator>

bool CorrectionReplay::Load(const std::string& recording)
{
    *this = CorrectionReplay();
    const std::string path = CorrectionsPath(recording);
    m_recordingIndex = ReadTimeIndex(TimeIndexPath(recording));
    m_correctionIndex = ReadTimeIndex(TimeIndexPath(path));
    std::ifstream in(path, std::ios::binary);
    if (!in || m_recordingIndex.empty() || m_correctionIndex.empty())
        return false;
    m_bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !m_bytes.empty();
}

std::string_view CorrectionReplay::Due(uint64_t delivered, double* seconds)
{
    if (m_bytes.empty())
        return {};
    // The read that holds byte `delivered - 1`: its time is when the
    // playback stands.
    const auto read = std::upper_bound(m_recordingIndex.begin(), m_recordingIndex.end(), delivered,
                                       [](uint64_t value, const TimeIndexEntry& e) { return value <= e.offset; });
    if (read == m_recordingIndex.begin())
        return {};
    const int64_t now = std::prev(read)->monotonicUs;
    if (seconds != nullptr)
        *seconds = static_cast<double>(now) * 1e-6;
    // Every correction write made by then, whole.
    const auto sent = std::upper_bound(m_correctionIndex.begin(), m_correctionIndex.end(), now,
                                       [](int64_t value, const TimeIndexEntry& e) { return value < e.monotonicUs; });
    const size_t end = sent == m_correctionIndex.end() ? m_bytes.size()
                                                         : static_cast<size_t>(std::min<uint64_t>(sent->offset, m_bytes.size()));
    if (end <= m_handed)
        return {};
    const std::string_view due(m_bytes.data() + m_handed, end - m_handed);
    m_handed = end;
    return due;
}
