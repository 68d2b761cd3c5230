#pragma once

#include <cstdint>
#include <unordered_map>

namespace garrison {

// The clients that asked for the list with the right password lately. Only
// they are sent the list: the list request is the one datagram that proves
// anything, and a spoofer who cannot pass it gets no list sent to its victim.
class ClientSessions {
public:
    static constexpr std::uint32_t kLifetimeMs = 60000;
    static constexpr std::size_t kMaxClients = 8192;

    void admit(std::uint32_t address, std::uint16_t port, std::uint32_t now);
    bool admitted(std::uint32_t address, std::uint16_t port, std::uint32_t now) const;

private:
    void dropExpired(std::uint32_t now);

    std::unordered_map<std::uint64_t, std::uint32_t> m_since; // address:port -> admitted at
};

} // namespace garrison
