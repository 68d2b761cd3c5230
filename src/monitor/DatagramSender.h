#pragma once

#include <cstdint>
#include <span>

namespace garrison {

// Where the pollers send their datagrams: the endpoint's socket.
class DatagramSender {
public:
    virtual ~DatagramSender() = default;
    // address in network order; failures are ignored by every caller.
    virtual void send(std::uint32_t address, std::uint16_t port, std::span<const std::uint8_t> bytes) = 0;
};

} // namespace garrison
