#pragma once

#include "peers/UdpPort.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace garrison::peers {

// A peer on one UDP port that keeps a log of the requests it was sent, so
// tests can check what a client asked for. Subclasses answer in handle() and
// call stop() in their destructor, before their own members go.
class RequestLogPeer {
public:
    virtual ~RequestLogPeer() = default;

    bool start(); // false when the port cannot be bound
    void stop();
    std::vector<std::string> receivedRequests() const;

protected:
    RequestLogPeer(std::uint32_t address, std::uint16_t port) : m_address(address), m_port(port) {}
    void record(const std::string &request);
    virtual void handle(UdpPort &port, std::span<const std::uint8_t> datagram, std::uint32_t address,
                        std::uint16_t sourcePort) = 0;

private:
    std::uint32_t m_address;
    std::uint16_t m_port;
    std::unique_ptr<UdpPort> m_socket;
    mutable std::mutex m_lock;
    std::vector<std::string> m_requests;
};

} // namespace garrison::peers
