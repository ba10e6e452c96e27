#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

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

// A test with a folder of its own for the files it writes.
class TempDirTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = std::filesystem::temp_directory_path()
            / ("stelmap_cli_" + std::to_string(::getpid()) + "_"
               + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    std::string Write(const std::string& name, const std::string& bytes)
    {
        const auto path = m_dir / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }

    std::filesystem::path m_dir;
};
