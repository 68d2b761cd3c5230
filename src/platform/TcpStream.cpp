#include "platform/TcpStream.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace garrison {

TcpStream::~TcpStream()
{
    if (m_socket >= 0)
        ::close(m_socket);
}

Failure TcpStream::waitFor(short events)
{
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(m_deadline - Clock::now()).count();
        if (left <= 0)
            return Failure::because("timed out", ETIMEDOUT);
        pollfd watched{m_socket, events, 0};
        const int ready = ::poll(&watched, 1, static_cast<int>(left));
        if (ready > 0)
            return {};
        if (ready < 0 && errno != EINTR)
            return Failure::because(std::strerror(errno), errno);
    }
}

Failure TcpStream::connect(std::uint32_t address, std::uint16_t port)
{
    m_socket = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (m_socket < 0)
        return Failure::because(std::strerror(errno), errno);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = address;
    to.sin_port = htons(port);
    if (::connect(m_socket, reinterpret_cast<const sockaddr *>(&to), sizeof to) == 0)
        return {};
    if (errno != EINPROGRESS)
        return Failure::because(std::strerror(errno), errno);
    if (Failure waited = waitFor(POLLOUT))
        return waited;
    int error = 0;
    socklen_t length = sizeof error;
    ::getsockopt(m_socket, SOL_SOCKET, SO_ERROR, &error, &length);
    if (error != 0)
        return Failure::because(std::strerror(error), error);
    return {};
}

Failure TcpStream::sendAll(const std::string &bytes)
{
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t count = ::send(m_socket, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (count > 0) {
            sent += static_cast<std::size_t>(count);
            continue;
        }
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            return Failure::because(std::strerror(errno), errno);
        if (Failure waited = waitFor(POLLOUT))
            return waited;
    }
    return {};
}

Failure TcpStream::receiveSome(std::string &buffer, bool &closed)
{
    closed = false;
    for (;;) {
        char chunk[16384];
        const ssize_t count = ::recv(m_socket, chunk, sizeof chunk, 0);
        if (count > 0) {
            buffer.append(chunk, static_cast<std::size_t>(count));
            return {};
        }
        if (count == 0) {
            closed = true;
            return {};
        }
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            return Failure::because(std::strerror(errno), errno);
        if (Failure waited = waitFor(POLLIN))
            return waited;
    }
}

} // namespace garrison
