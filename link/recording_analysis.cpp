#include "link/recording_analysis.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

#include "nmea/receiver_state.h"

AnalysisBatcher::AnalysisBatcher(const ReceiverState& state)
    : m_state(state)
{
    batch.reserve(RecordingAnalysis::kBatchFixes + RecordingAnalysis::kBatchHeadroom);
}

void AnalysisBatcher::OnFix()
{
    // One snapshot copied into as the link's is, so that what it keeps from
    // fix to fix (the systems seen) carries on.
    CopyToSnapshot(m_state, m_fix.display);
    m_state.m_gnssModel.CopyTo(m_fix.gnss);
    batch.push_back(m_fix);
}

void AnalysisBatcher::Restart() { m_fix = {}; }

std::vector<AnalysedFix> AnalysisBatcher::Take()
{
    std::vector<AnalysedFix> full = std::move(batch);
    batch = {};
    batch.reserve(RecordingAnalysis::kBatchFixes + RecordingAnalysis::kBatchHeadroom);
    return full;
}

RecordingAnalysisResult RecordingAnalysis::Run(const std::string& path, const Deliver& deliver,
                                               const std::atomic<bool>& cancel)
{
    RecordingAnalysisResult result;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        result.ok = false;
        result.error = std::strerror(errno);
        return result;
    }
    struct stat st {};
    if (::fstat(::fileno(file), &st) == 0)
        result.totalBytes = static_cast<uint64_t>(st.st_size);

    ReceiverState state;
    AnalysisBatcher batcher(state);
    DecodeDriver driver(state, &batcher);
    std::vector<uint8_t> buffer(1 << 16);
    for (;;) {
        if (cancel.load()) {
            result.cancelled = true;
            break;
        }
        const size_t n = std::fread(buffer.data(), 1, buffer.size(), file);
        // Fed in pieces so a batch never grows far past its size.
        for (size_t at = 0; at < n;) {
            const size_t piece = std::min<size_t>(n - at, 4096);
            driver.Feed(buffer.data() + at, piece);
            at += piece;
            result.bytes += piece;
            if (batcher.batch.size() >= kBatchFixes)
                deliver(batcher.Take(), result.bytes);
        }
        if (n < buffer.size()) {
            if (std::ferror(file)) {
                result.ok = false;
                result.error = std::strerror(errno);
            }
            break;
        }
    }
    result.fixes = driver.Counts().fixes;
    if (!result.cancelled && (!batcher.batch.empty() || result.fixes == 0))
        deliver(batcher.Take(), result.bytes);
    std::fclose(file);
    return result;
}
