#pragma once

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>

struct CommandResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs a shell command, capturing both streams through temporary files.
inline CommandResult RunCommand(const std::string& command)
{
    const auto dir = std::filesystem::temp_directory_path();
    const std::string tag = std::to_string(::getpid()) + "_" + std::to_string(std::rand());
    const auto outPath = dir / ("stelmap_out_" + tag);
    const auto errPath = dir / ("stelmap_err_" + tag);
    const std::string full = command + " >" + outPath.string() + " 2>" + errPath.string();
    const int raw = std::system(full.c_str());
    CommandResult r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    auto slurp = [](const std::filesystem::path& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    r.out = slurp(outPath);
    r.err = slurp(errPath);
    std::filesystem::remove(outPath);
    std::filesystem::remove(errPath);
    return r;
}

inline std::string CliPath()
{
    const char* path = std::getenv("STELMAP_CLI");
    return path != nullptr ? path : STELMAP_BINARY_DIR "/tools/cli/stelmap-cli";
}
