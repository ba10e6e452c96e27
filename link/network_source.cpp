#include "link/network_source.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

SocketOpen Failed(OpenFailure failure, int error, std::string detail)
{
    SocketOpen result;
    result.failure = failure;
    result.error = error;
    result.detail = std::move(detail);
    return result;
}

std::string Endpoint(const std::string& host, int port)
{
    const bool v6 = host.find(':') != std::string::npos;
    return (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

SocketOpen LookUp(const std::string& host, int port, int socketType, bool passive, addrinfo** found)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = socketType;
    hints.ai_flags = AI_ADDRCONFIG | (passive ? AI_PASSIVE : 0);
    const std::string service = std::to_string(port);
    const int status = ::getaddrinfo(host.empty() ? nullptr : host.c_str(), service.c_str(), &hints, found);
    if (status == 0)
        return {};
    if (status == EAI_NONAME || status == EAI_FAIL || status == EAI_NODATA || status == EAI_AGAIN)
        return Failed(OpenFailure::NoSuchHost, 0,
                      "no such host: " + host + (status == EAI_AGAIN ? " (name lookup failed for now)" : ""));
    return Failed(OpenFailure::Other, 0, std::string("looking up ") + host + ": " + ::gai_strerror(status));
}

// One non-blocking connect attempt; the socket on success.
SocketOpen ConnectOne(const addrinfo& address, Clock::time_point deadline)
{
    const int fd = ::socket(address.ai_family, address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                            address.ai_protocol);
    if (fd < 0)
        return Failed(OpenFailure::Other, errno, std::strerror(errno));
    int error = 0;
    if (::connect(fd, address.ai_addr, address.ai_addrlen) != 0) {
        error = errno;
        if (error == EINPROGRESS) {
            pollfd p{fd, POLLOUT, 0};
            int ready = 0;
            do {
                const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
                ready = left.count() > 0 ? ::poll(&p, 1, static_cast<int>(left.count())) : 0;
            } while (ready < 0 && errno == EINTR);
            if (ready == 0) {
                ::close(fd);
                return Failed(OpenFailure::TimedOut, ETIMEDOUT, {});
            }
            socklen_t size = sizeof error;
            if (ready < 0 || ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0)
                error = errno;
        }
    }
    if (error != 0) {
        ::close(fd);
        return Failed(OpenFailureFromErrno(error), error, {});
    }
    SocketOpen result;
    result.fd = fd;
    return result;
}

}  // namespace

SocketOpen ConnectTcp(const std::string& host, int port, std::chrono::milliseconds timeout)
{
    const Clock::time_point deadline = Clock::now() + timeout;
    addrinfo* found = nullptr;
    SocketOpen result = LookUp(host, port, SOCK_STREAM, false, &found);
    if (found == nullptr)
        return result;
    // The first address that answers wins; the reason shown is the first
    // address's, which is the one the user most likely meant.
    SocketOpen first;
    for (const addrinfo* a = found; a != nullptr; a = a->ai_next) {
        result = ConnectOne(*a, deadline);
        if (result.fd >= 0 || result.failure == OpenFailure::TimedOut)
            break;
        if (a == found)
            first = result;
    }
    ::freeaddrinfo(found);
    if (result.fd >= 0)
        return result;
    if (result.failure != OpenFailure::TimedOut && first.failure != OpenFailure::None)
        result = first;
    const std::string where = Endpoint(host, port);
    if (result.failure == OpenFailure::TimedOut)
        result.detail = where + ": timed out after " + std::to_string(timeout.count() / 1000) + " s";
    else
        result.detail = where + ": " + OpenFailureText(result.failure, result.error);
    return result;
}

SocketOpen BindUdp(const std::string& host, int port)
{
    addrinfo* found = nullptr;
    SocketOpen result = LookUp(host, port, SOCK_DGRAM, true, &found);
    if (found == nullptr)
        return result;
    result = Failed(OpenFailure::Other, EADDRNOTAVAIL, {});
    for (const addrinfo* a = found; a != nullptr; a = a->ai_next) {
        const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0)
            continue;
        const int on = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        // Room for a second of a fast receiver's datagrams while the reader
        // waits (past the system's limit where we may), and the kernel's
        // count of those it dropped all the same.
        const int room = kUdpReceiveBuffer;
        if (::setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &room, sizeof room) != 0)
            ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &room, sizeof room);
        ::setsockopt(fd, SOL_SOCKET, SO_RXQ_OVFL, &on, sizeof on);
        if (::bind(fd, a->ai_addr, a->ai_addrlen) == 0) {
            result = {};
            result.fd = fd;
            break;
        }
        result = Failed(OpenFailureFromErrno(errno), errno, {});
        ::close(fd);
    }
    ::freeaddrinfo(found);
    if (result.fd < 0)
        result.detail = "listening on udp://" + Endpoint(host, port) + ": " +
                        (result.error == EADDRINUSE ? std::string("the port is in use by another program")
                                                    : OpenFailureText(result.failure, result.error));
    return result;
}

SocketOpen ConnectGpsd(const std::string& host, int port, std::chrono::milliseconds timeout)
{
    SocketOpen result = ConnectTcp(host, port, timeout);
    if (result.fd < 0) {
        result.detail = "gpsd at " + result.detail;
        return result;
    }
    // A few dozen bytes on a fresh socket: the send buffer takes them at once.
    const size_t size = sizeof kGpsdWatchRequest - 1;
    const long sent = ::send(result.fd, kGpsdWatchRequest, size, MSG_NOSIGNAL);
    if (sent != static_cast<long>(size)) {
        const int error = sent < 0 ? errno : EIO;
        ::close(result.fd);
        return Failed(OpenFailure::Other, error,
                      "gpsd at " + Endpoint(host, port) + ": sending the watch request failed: " + std::strerror(error));
    }
    return result;
}
