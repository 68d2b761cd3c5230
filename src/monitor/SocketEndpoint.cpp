#include "monitor/SocketEndpoint.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace garrison {

SocketEndpoint::~SocketEndpoint()
{
    stop();
    closeSocket();
}

bool SocketEndpoint::create(std::uint16_t port, std::uint32_t address)
{
    closeSocket();
    m_socket = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (m_socket < 0)
        return false;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    local.sin_addr.s_addr = address;
    if (bind(m_socket, reinterpret_cast<const sockaddr *>(&local), sizeof local) != 0) {
        closeSocket();
        return false;
    }
    return true;
}

std::uint16_t SocketEndpoint::localPort() const
{
    sockaddr_in local{};
    socklen_t length = sizeof local;
    if (m_socket < 0 || getsockname(m_socket, reinterpret_cast<sockaddr *>(&local), &length) != 0)
        return 0;
    return ntohs(local.sin_port);
}

long SocketEndpoint::sendTo(std::uint32_t address, std::uint16_t port, const void *data, std::size_t size)
{
    if (m_socket < 0)
        return -1;
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(port);
    target.sin_addr.s_addr = address;
    return sendto(m_socket, data, size, MSG_NOSIGNAL, reinterpret_cast<const sockaddr *>(&target), sizeof target);
}

long SocketEndpoint::receive(void *buffer, std::size_t size, std::uint32_t &address, std::uint16_t &port)
{
    if (m_socket < 0)
        return -1;
    sockaddr_in source{};
    socklen_t length = sizeof source;
    const auto count = recvfrom(m_socket, buffer, size, MSG_DONTWAIT, reinterpret_cast<sockaddr *>(&source), &length);
    address = source.sin_addr.s_addr;
    port = ntohs(source.sin_port);
    return count;
}

std::optional<SocketEndpoint::Datagram> SocketEndpoint::receiveInto(std::span<std::uint8_t> buffer)
{
    Datagram datagram;
    const long length = receive(buffer.data(), buffer.size(), datagram.address, datagram.port);
    if (length < 0)
        return std::nullopt;
    datagram.bytes = buffer.first(static_cast<std::size_t>(length));
    return datagram;
}

void SocketEndpoint::closeSocket()
{
    if (m_socket >= 0) {
        close(m_socket);
        m_socket = -1;
    }
}

void SocketEndpoint::run()
{
    onStart();
    while (!stopRequested()) {
        pollfd waits[2] = {{queueEventHandle(), POLLIN, 0}, {m_socket, POLLIN, 0}};
        const nfds_t count = m_socket >= 0 ? 2 : 1;
        const int ready = poll(waits, count, kWaitMilliseconds);
        if (ready < 0)
            continue; // interrupted by a signal
        if (ready == 0) {
            onTick();
            continue;
        }
        // A datagram first, then the messages: a message posted while the
        // read was handled runs after it.
        if (count == 2 && (waits[1].revents & (POLLIN | POLLERR))) {
            int error = 0;
            if (waits[1].revents & POLLERR) {
                socklen_t length = sizeof error;
                getsockopt(m_socket, SOL_SOCKET, SO_ERROR, &error, &length);
            }
            onRead(error);
        }
        if (waits[0].revents & POLLIN)
            runMessages();
        if (!stopRequested())
            onTick();
    }
    onStop();
}

void SocketEndpoint::runMessages()
{
    consumeQueueEvent();
    while (auto message = tryTake())
        onMessage(*message);
}

void SocketEndpoint::onRead(int)
{
}
void SocketEndpoint::onMessage(const EndpointMessage &)
{
}
void SocketEndpoint::onStart()
{
}
void SocketEndpoint::onStop()
{
}
void SocketEndpoint::onTick()
{
}

} // namespace garrison
