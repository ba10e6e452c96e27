#pragma once

// A sentence link over a pseudo-terminal, for tests: the program's side
// writes to the slave, as it would to a serial device, and the test reads
// what a receiver on the master side gets.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "console/sentence_link.h"
#include "link/tests/pseudo_terminal.h"

class PtySentenceLink : public SentenceLink {
public:
    PtySentenceLink()
    {
        if (m_receiver.SlavePath().empty())
            return;
        m_slave = ::open(m_receiver.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios raw{};
        if (m_slave >= 0 && tcgetattr(m_slave, &raw) == 0) {
            // No line-end translation: the receiver must get the bytes as written.
            cfmakeraw(&raw);
            tcsetattr(m_slave, TCSANOW, &raw);
        }
    }
    ~PtySentenceLink() override
    {
        if (m_slave >= 0)
            ::close(m_slave);
    }
    PtySentenceLink(const PtySentenceLink&) = delete;
    PtySentenceLink& operator=(const PtySentenceLink&) = delete;

    bool Ready() const { return m_receiver.Master() >= 0 && m_slave >= 0; }

    bool IsOpen() const override { return m_open && m_slave >= 0; }
    bool IsPlayback() const override { return m_playback; }
    long Write(const void* data, size_t size) override { return ::write(m_slave, data, size); }

    void SetOpen(bool open) { m_open = open; }
    void SetPlayback(bool playback) { m_playback = playback; }

    // What the receiver side reads until `expected` bytes have come or
    // `timeoutMs` has passed.
    std::string ReadReceiverSide(size_t expected, int timeoutMs)
    {
        std::string bytes;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (bytes.size() < expected) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                break;
            pollfd p{m_receiver.Master(), POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(left.count())) <= 0)
                break;
            char buffer[4096];
            const ssize_t n = ::read(m_receiver.Master(), buffer, sizeof buffer);
            if (n <= 0)
                break;
            bytes.append(buffer, static_cast<size_t>(n));
        }
        return bytes;
    }

private:
    PseudoTerminal m_receiver;  // the receiver's end, the master
    int m_slave = -1;
    bool m_open = true;
    bool m_playback = false;
};
