#include "peers/RequestLogPeer.h"

namespace garrison::peers {

bool RequestLogPeer::start()
{
    m_socket =
        std::make_unique<UdpPort>([this](UdpPort &port, std::span<const std::uint8_t> datagram, std::uint32_t address,
                                         std::uint16_t sourcePort) { handle(port, datagram, address, sourcePort); });
    if (!m_socket->create(m_port, m_address))
        return false;
    m_socket->start();
    return true;
}

void RequestLogPeer::stop()
{
    m_socket.reset();
}

std::vector<std::string> RequestLogPeer::receivedRequests() const
{
    std::lock_guard guard(m_lock);
    return m_requests;
}

void RequestLogPeer::record(const std::string &request)
{
    std::lock_guard guard(m_lock);
    m_requests.push_back(request);
}

} // namespace garrison::peers
