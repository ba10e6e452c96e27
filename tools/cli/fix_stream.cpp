#include "tools/cli/fix_stream.h"

#include <cerrno>
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
