#pragma once

#include <arpa/inet.h>
#include <chrono>
#include <cstdint>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

// A TCP peer on the loopback, accepted with a small receive buffer so that
// it fills quickly when the peer stops reading.
class TcpPeer {
public:
    TcpPeer()
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        int small = 4096;
        ::setsockopt(m_listener, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(m_listener, 1);
        socklen_t length = sizeof address;
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
    }
    ~TcpPeer()
    {
        if (m_connection >= 0)
            ::close(m_connection);
        ::close(m_listener);
    }
    std::string Text() const { return "tcp://127.0.0.1:" + std::to_string(m_port); }
    bool Accept()
    {
        m_connection = ::accept(m_listener, nullptr, nullptr);
        return m_connection >= 0;
    }
    bool Send(const std::string& bytes)
    {
        return ::send(m_connection, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
    }
    // Everything that arrives within `quiet` of the last byte.
    std::string ReadAll(std::chrono::milliseconds quiet)
    {
        std::string got;
        timeval tv{0, static_cast<suseconds_t>(quiet.count() * 1000)};
        ::setsockopt(m_connection, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
        char buffer[65536];
        while (true) {
            const ssize_t n = ::recv(m_connection, buffer, sizeof buffer, 0);
            if (n <= 0)
                return got;
            got.append(buffer, static_cast<size_t>(n));
        }
    }

private:
    int m_listener = -1;
    int m_connection = -1;
    uint16_t m_port = 0;
};

// A UDP port nobody listens on now, for a udp:// source of a test.
inline uint16_t FreeUdpPort()
{
    const int probe = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(probe);
    return ntohs(address.sin_port);
}
