// Replays every corpus recording through stelmap-cli and compares what it
// prints, byte for byte, with the expectations stored under
// tests/corpus_expected/ (written by scripts/corpus-expected.sh). One case
// per command of tests/corpus_expected/commands.tsv; a difference names the
// recording and its first differing line.
#include <gtest/gtest.h>

#include "tests/corpus_location.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/cli/tests/test_support.h"

namespace fs = std::filesystem;

namespace {

const fs::path kExpected = fs::path(STELMAP_SOURCE_DIR) / "tests" / "corpus_expected";

struct CommandLine {
    std::string name;
    std::vector<std::string> args;  // "FILE" stands for the recording
};

void PrintTo(const CommandLine& c, std::ostream* os) { *os << c.name; }

std::vector<CommandLine> Commands()
{
    std::vector<CommandLine> out;
    std::ifstream in(kExpected / "commands.tsv");
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        const size_t tab = line.find('\t');
        CommandLine c{line.substr(0, tab), {}};
        std::istringstream words(line.substr(tab + 1));
        for (std::string w; words >> w;)
            c.args.push_back(w);
        out.push_back(std::move(c));
    }
    return out;
}

std::vector<std::string> Recordings()
{
    std::vector<std::string> files;
    const fs::path root = STELMAP_CORPUS_DIR;
    if (!fs::exists(root))
        return files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const auto name = entry.path().filename().string();
        if (entry.is_regular_file() && name != "MANIFEST.tsv" && name != "SOURCE.txt" && name != "README.md"
            && !name.starts_with("COPYING") && !name.starts_with("LICENSE"))
            files.push_back(fs::relative(entry.path(), root).string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string Slurp(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// "" when equal, else the first line that differs, numbered, in both.
std::string FirstDifference(const std::string& expected, const std::string& actual)
{
    if (expected == actual)
        return {};
    std::istringstream a(expected), b(actual);
    std::string la, lb;
    for (int line = 1;; ++line) {
        const bool moreA = static_cast<bool>(std::getline(a, la));
        const bool moreB = static_cast<bool>(std::getline(b, lb));
        if (!moreA && !moreB)
            return "they differ only in line ends";
        if (!moreA || !moreB || la != lb)
            return "line " + std::to_string(line) + "\n  expected: " + (moreA ? la.substr(0, 400) : "<end>")
                 + "\n  actual:   " + (moreB ? lb.substr(0, 400) : "<end>");
    }
}

class StoredExpectation : public ::testing::TestWithParam<CommandLine> {};

TEST_P(StoredExpectation, EveryRecordingPrintsWhatIsStored)
{
    STELMAP_REQUIRE_CORPUS();
    const CommandLine& command = GetParam();
    const std::vector<std::string> recordings = Recordings();
    ASSERT_GT(recordings.size(), 50u);
    for (const std::string& rec : recordings) {
        const fs::path out = kExpected / (rec + "." + command.name + ".out");
        const fs::path err = kExpected / (rec + "." + command.name + ".err");
        if (!fs::exists(out) || !fs::exists(err)) {
            ADD_FAILURE() << rec << ": no stored " << command.name << " expectation; scripts/corpus-expected.sh writes it";
            continue;
        }
        std::string line = "cd '" STELMAP_CORPUS_DIR "' && '" + CliPath() + "'";
        for (const std::string& a : command.args)
            line += " '" + (a == "FILE" ? rec : a) + "'";
        const CommandResult r = RunCommand(line + " </dev/null");
        const std::string stdoutDiff = FirstDifference(Slurp(out), r.out);
        EXPECT_EQ(stdoutDiff, "") << rec << " " << command.name << ": standard output differs at " << stdoutDiff;
        const std::string stderrDiff = FirstDifference(Slurp(err), r.err + "exit " + std::to_string(r.status) + "\n");
        EXPECT_EQ(stderrDiff, "") << rec << " " << command.name << ": standard error differs at " << stderrDiff;
    }
}

INSTANTIATE_TEST_SUITE_P(Corpus, StoredExpectation, ::testing::ValuesIn(Commands()),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

}  // namespace
