#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Finished {
    int status = -1;
    std::string out;  // standard output and error, as a user sees them
};

// The window program as a user starts it, with its own settings folder.
Finished RunStelmap(const std::string& arguments, const std::filesystem::path& home)
{
    const char* app = std::getenv("STELMAP_APP");
    const std::string command = "HOME=" + home.string() + " XDG_CONFIG_HOME=" + home.string()
        + " QT_QPA_PLATFORM=offscreen timeout 60 " + (app != nullptr ? app : "stelmap") + " " + arguments + " 2>&1";
    Finished run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return run;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        run.out.append(buffer, n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

class StelmapBinary : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_home = std::filesystem::temp_directory_path() / ("stelmap_binary_" + std::to_string(getpid()));
        std::filesystem::create_directories(m_home);
    }
    void TearDown() override { std::filesystem::remove_all(m_home); }
    std::filesystem::path m_home;
};

// --help names every form of source the window reads.
TEST_F(StelmapBinary, HelpDescribesEverySourceForm)
{
    const Finished help = RunStelmap("--help", m_home);
    ASSERT_EQ(help.status, 0) << help.out;
    for (const char* form : {"/dev/ttyUSB0", "COMn", "tcp://HOST:PORT", "udp://[ADDRESS]:PORT", "gpsd://HOST[:PORT]"})
        EXPECT_NE(help.out.find(form), std::string::npos) << form << " in\n" << help.out;
}

// A --connect source that cannot open is told with its reason on standard
// error too, not only in the window's status bar.
TEST_F(StelmapBinary, ConnectFailureSaysWhyOnStandardError)
{
    const Finished run = RunStelmap("--connect tcp://127.0.0.1:70000 --screenshot " + (m_home / "shots").string()
                                   + " --screenshot-after 0",
                               m_home);
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("stelmap: could not connect to tcp://127.0.0.1:70000: port"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("is not a number from 1 to 65535"), std::string::npos) << run.out;
}

}  // namespace
