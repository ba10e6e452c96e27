#pragma once

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

inline std::string SimPath()
{
    const char* path = std::getenv("STELMAP_SIM");
    return path != nullptr ? path : STELMAP_BINARY_DIR "/tools/sim/stelmap-sim";
}

// stelmap-sim running as a child, its standard output on a pipe.
class SimProcess {
public:
    explicit SimProcess(const std::vector<std::string>& args)
    {
        int out[2];
        if (::pipe(out) != 0)
            return;
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        ::posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        ::posix_spawn_file_actions_addclose(&actions, out[0]);
        ::posix_spawn_file_actions_addclose(&actions, out[1]);
        ::posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        std::vector<std::string> all{SimPath()};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& a : all)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        if (::posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
            m_pid = -1;
        ::posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        m_out = out[0];
    }
    ~SimProcess()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            Wait();
        }
        if (m_out >= 0)
            ::close(m_out);
    }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    bool Started() const { return m_pid > 0; }

    // One line of its standard output (the slave path comes first).
    std::string ReadLine(std::chrono::milliseconds timeout)
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        std::string line;
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd p{m_out, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0)
                return {};
            char c = 0;
            if (::read(m_out, &c, 1) != 1)
                return {};
            if (c == '\n')
                return line;
            line += c;
        }
    }

    void Signal(int signal)
    {
        if (m_pid > 0)
            ::kill(m_pid, signal);
    }

    // Waits for it to end; its exit status, or -1 when killed by a signal.
    int Wait()
    {
        if (m_pid <= 0)
            return m_status;
        int raw = 0;
        while (::waitpid(m_pid, &raw, 0) < 0 && errno == EINTR) {
        }
        m_pid = -1;
        m_status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        return m_status;
    }

private:
    pid_t m_pid = -1;
    int m_out = -1;
    int m_status = -1;
};

// The simulator's truth file: one map of key=value per GGA sent.
using TruthLine = std::map<std::string, std::string>;

inline std::vector<TruthLine> ReadTruth(const std::string& path)
{
    std::vector<TruthLine> lines;
    std::ifstream in(path);
    std::string text;
    while (std::getline(in, text)) {
        TruthLine line;
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find(' ', start);
            if (end == std::string::npos)
                end = text.size();
            const std::string pair = text.substr(start, end - start);
            const size_t eq = pair.find('=');
            if (eq != std::string::npos)
                line[pair.substr(0, eq)] = pair.substr(eq + 1);
            start = end + 1;
        }
        if (!line.empty())
            lines.push_back(line);
    }
    return lines;
}

inline double TruthNumber(const TruthLine& line, const std::string& key)
{
    const auto it = line.find(key);
    return it == line.end() ? 0.0 : std::strtod(it->second.c_str(), nullptr);
}
