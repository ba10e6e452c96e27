#include "tools/cli/fix_stream.h"

#include <cerrno>
#include <cinttypes>
#include <cstring>
#include <vector>

FixStreamResult DecodeFixStream(std::FILE* file, CountingParser& parser, DisplaySnapshot& snapshot,
                                const std::function<void(uint64_t fix)>& onFix)
{
    FixStreamResult result;
    parser.SetPositionHandOff([&] {
        CopyToSnapshot(parser, snapshot);
        ++result.fixes;
        onFix(result.fixes);
    });
    std::vector<uint8_t> buffer(1 << 16);
    for (;;) {
        const size_t n = std::fread(buffer.data(), 1, buffer.size(), file);
        if (n > 0) {
            result.bytes += n;
            parser.ProcessBytes(buffer.data(), n);
        }
        if (n < buffer.size()) {
            if (std::ferror(file)) {
                result.ok = false;
                result.error = std::strerror(errno);
            }
            break;
        }
    }
    parser.SetPositionHandOff({});
    return result;
}

std::FILE* OpenInput(const std::string& path, std::string& error)
{
    if (path == "-")
        return stdin;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        error = std::strerror(errno);
    return file;
}

bool DecodeFileReporting(const std::string& path, CountingParser& parser, DisplaySnapshot& snapshot,
                         const std::function<void(uint64_t fix)>& onFix)
{
    std::string error;
    std::FILE* file = OpenInput(path, error);
    if (file == nullptr) {
        std::fprintf(stderr, "stelmap-cli: cannot read %s: %s\n", path.c_str(), error.c_str());
        return false;
    }
    const FixStreamResult result = DecodeFixStream(file, parser, snapshot, onFix);
    if (file != stdin)
        std::fclose(file);

    std::fprintf(stderr, "bytes %" PRIu64 " sentences %" PRIu64 " checksum_errors %" PRIu64 " fixes %" PRIu64 "\n",
                 result.bytes, parser.sentences, parser.checksumErrors, result.fixes);
    if (!result.ok) {
        std::fprintf(stderr, "stelmap-cli: reading %s stopped after %" PRIu64 " bytes: %s\n",
                     path == "-" ? "standard input" : path.c_str(), result.bytes, result.error.c_str());
        return false;
    }
    return true;
}
