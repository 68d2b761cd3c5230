#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace garrison::test {

// A client's UDP socket on loopback, at an address of its own when given one,
// so that a test can play many clients (or a spoofer's victim) at once.
class UdpClient {
public:
    explicit UdpClient(std::uint32_t address = 0); // network order; 0 = 127.0.0.1
    ~UdpClient();
    UdpClient(const UdpClient &) = delete;
    UdpClient &operator=(const UdpClient &) = delete;

    void send(std::uint32_t address, std::uint16_t port, const std::vector<std::uint8_t> &bytes);
    // The next datagram, or nothing after waitMs.
    std::optional<std::vector<std::uint8_t>> receive(int waitMs = 2000);
    // Everything waiting now, without waiting.
    std::vector<std::vector<std::uint8_t>> drain();

private:
    int m_socket;
};

} // namespace garrison::test
