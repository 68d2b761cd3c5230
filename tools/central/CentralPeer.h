#pragma once

#include "monitor/ServerStatus.h"
#include "peers/RequestLogPeer.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace garrison::peers {

struct CentralConfig {
    std::uint32_t address = 0x0100007f; // 127.0.0.1 in network order
    std::uint16_t port = 48124;
    std::string pictureUrl;
    std::string newsText;
    std::string link;
    std::vector<BrowserEntry> entries; // sent as they are, duplicates included
    std::size_t entriesPerDatagram = 20;
};

// The central server on loopback: answers a news request whose check value
// is right, and a browser list request with its entries. Its log: "news",
// "news bad-check", "browser" or "unknown".
class CentralPeer final : public RequestLogPeer {
public:
    explicit CentralPeer(CentralConfig config);
    ~CentralPeer() override;

private:
    void handle(UdpPort &port, std::span<const std::uint8_t> datagram, std::uint32_t address,
                std::uint16_t sourcePort) override;

    CentralConfig m_config;
};

} // namespace garrison::peers
