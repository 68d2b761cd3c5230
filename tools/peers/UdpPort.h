#pragma once

#include "monitor/SocketEndpoint.h"

#include <cstdint>
#include <functional>
#include <span>

namespace garrison::peers {

// One bound UDP port of a loopback peer; every datagram goes to the handler
// on the port's own worker thread.
class UdpPort final : public SocketEndpoint {
public:
    using Handler = std::function<void(UdpPort &port, std::span<const std::uint8_t> datagram, std::uint32_t address,
                                       std::uint16_t sourcePort)>;

    explicit UdpPort(Handler handler) : m_handler(std::move(handler)) {}
    ~UdpPort() override { stop(); }

    // A datagram to a client; address in network order.
    void reply(std::uint32_t address, std::uint16_t port, std::span<const std::uint8_t> bytes)
    {
        sendTo(address, port, bytes.data(), bytes.size());
    }

protected:
    void onRead(int) override;

private:
    Handler m_handler;
};

} // namespace garrison::peers
