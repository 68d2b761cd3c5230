#include "support/UdpClient.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace garrison::test {

UdpClient::UdpClient(std::uint32_t address) : m_socket(socket(AF_INET, SOCK_DGRAM, 0))
{
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = address != 0 ? address : htonl(INADDR_LOOPBACK);
    bind(m_socket, reinterpret_cast<sockaddr *>(&local), sizeof local);
    const int buffer = 4 << 20;
    setsockopt(m_socket, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
}

UdpClient::~UdpClient()
{
    close(m_socket);
}

void UdpClient::send(std::uint32_t address, std::uint16_t port, const std::vector<std::uint8_t> &bytes)
{
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = address;
    to.sin_port = htons(port);
    sendto(m_socket, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr *>(&to), sizeof to);
}

std::optional<std::vector<std::uint8_t>> UdpClient::receive(int waitMs)
{
    pollfd wait{m_socket, POLLIN, 0};
    if (poll(&wait, 1, waitMs) <= 0)
        return std::nullopt;
    std::vector<std::uint8_t> bytes(65536);
    const auto length = recv(m_socket, bytes.data(), bytes.size(), 0);
    if (length < 0)
        return std::nullopt;
    bytes.resize(static_cast<std::size_t>(length));
    return bytes;
}

std::vector<std::vector<std::uint8_t>> UdpClient::drain()
{
    std::vector<std::vector<std::uint8_t>> all;
    while (auto datagram = receive(0))
        all.push_back(std::move(*datagram));
    return all;
}

} // namespace garrison::test
