#include "link/recording_analysis.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

#include "nmea/receiver_state.h"

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

    CNMEAParserWin32 parser;
    AnalysedFix fix;
    std::vector<AnalysedFix> batch;
    batch.reserve(kBatchFixes + kBatchHeadroom);
    parser.SetPositionHandOff([&] {
        CopyToSnapshot(parser, fix.display);
        parser.m_gnssModel.CopyTo(fix.gnss);
        batch.push_back(fix);
        ++result.fixes;
    });
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
            parser.ProcessBytes(buffer.data() + at, piece);
            at += piece;
            result.bytes += piece;
            if (batch.size() >= kBatchFixes) {
                deliver(std::move(batch), result.bytes);
                batch = {};
                batch.reserve(kBatchFixes + kBatchHeadroom);
            }
        }
        if (n < buffer.size()) {
            if (std::ferror(file)) {
                result.ok = false;
                result.error = std::strerror(errno);
            }
            break;
        }
    }
    if (!result.cancelled && (!batch.empty() || result.fixes == 0))
        deliver(std::move(batch), result.bytes);
    std::fclose(file);
    return result;
}
