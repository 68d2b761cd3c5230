#pragma once

#include "aaserver/ServedList.h"
#include "peers/RequestLogPeer.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace garrison::peers {

struct AutoAddonConfig {
    std::uint32_t address = 0x0100007f; // 127.0.0.1 in network order
    std::uint16_t port = 2322;
    std::string password;
    std::string list;             // the package list block, sent compressed
    std::uint64_t listId = 0;     // 0 = derived from the list
    std::size_t chunkData = 1000; // list bytes per chunk datagram
    // With a value: the long announcement, with elapsed milliseconds and game state.
    std::optional<std::uint32_t> elapsedMs;
    std::uint16_t gameState = 14;
    std::set<int> dropOnce;    // left out of the first sending, sent when re-requested
    std::set<int> dropAlways;  // never sent
    std::set<int> corruptOnce; // first sent with a wrong CRC
};

// An Auto-Addon server on loopback: checks the password, announces the list
// and sends it in numbered chunks with their CRC, and answers re-requests.
// Its log: "list PASSWORD", "send-list", "re-request N" or "unknown".
class AutoAddonPeer final : public RequestLogPeer {
public:
    explicit AutoAddonPeer(AutoAddonConfig config);
    ~AutoAddonPeer() override;

    std::uint64_t listId() const { return m_list.id(); }
    std::size_t chunkCount() const { return m_list.chunkCount(); }
    // Chunk datagrams as they go out, for tests that play the server's part.
    const std::vector<std::uint8_t> &chunk(std::size_t number) const { return m_list.chunk(number); }

private:
    void handle(UdpPort &port, std::span<const std::uint8_t> datagram, std::uint32_t address,
                std::uint16_t sourcePort) override;
    void sendChunk(UdpPort &port, std::uint32_t address, std::uint16_t sourcePort, int number, bool first);

    AutoAddonConfig m_config;
    ServedList m_list;
};

} // namespace garrison::peers
