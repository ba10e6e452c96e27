#pragma once

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <string_view>
#include <unistd.h>

// The far end of a serial line for tests: the master of a pseudo-terminal,
// whose slave path is the device under test.
class PseudoTerminal {
public:
    PseudoTerminal()
    {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
            return;
        char name[128] = {};
        if (::ptsname_r(m_master, name, sizeof name) == 0)
            m_slavePath = name;
    }
    ~PseudoTerminal() { CloseMaster(); }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    const std::string& SlavePath() const { return m_slavePath; }
    int Master() const { return m_master; }

    bool Write(std::string_view bytes)
    {
        while (!bytes.empty()) {
            const long n = ::write(m_master, bytes.data(), bytes.size());
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            bytes.remove_prefix(static_cast<size_t>(n));
        }
        return true;
    }

    // What the device side wrote, collected until `quiet` passes without
    // more bytes.
    std::string ReadAvailable(std::chrono::milliseconds quiet)
    {
        std::string text;
        pollfd p{m_master, POLLIN, 0};
        while (::poll(&p, 1, static_cast<int>(quiet.count())) > 0 && (p.revents & POLLIN) != 0) {
            char buffer[4096];
            const long n = ::read(m_master, buffer, sizeof buffer);
            if (n <= 0)
                break;
            text.append(buffer, static_cast<size_t>(n));
        }
        return text;
    }

    void CloseMaster()
    {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }

private:
    int m_master = -1;
    std::string m_slavePath;
};
