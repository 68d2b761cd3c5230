#pragma once

#include <cstdint>
#include <span>

namespace garrison {

enum class DatagramKind {
    CentralServer, // from port 48124, whatever the address
    Foreign,       // not from the monitored server: dropped
    SocketsInfo,   // sockets or VBS1 info answer
    DirectPlayInfo,
    GameSpyFragment,
    AutoAddon,
};

// Decides what a datagram is, in this order: the central server's port, the
// sender's address, then the layouts. autoAddonPort is 0 while unknown.
DatagramKind classifyDatagram(std::span<const std::uint8_t> datagram, std::uint32_t sourceAddress,
                              std::uint16_t sourcePort, std::uint32_t serverAddress, std::uint16_t autoAddonPort);

} // namespace garrison
