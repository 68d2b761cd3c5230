#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace garrison {

// A datagram a client sends to an Auto-Addon server.
struct ServerRequest {
    enum class Kind { List, SendList, ReRequest, Unknown };
    Kind kind = Kind::Unknown;
    std::string password;    // List
    std::uint16_t chunk = 0; // ReRequest
};

// Any bytes at all: what is not a request of this program's version is Unknown.
ServerRequest parseServerRequest(std::span<const std::uint8_t> datagram);

// The answer to a list request: the announcement (with the mission's elapsed
// time and game state when the game server is known), or the refusal.
std::vector<std::uint8_t> listAnnouncement(std::size_t chunkCount, std::uint64_t listId,
                                           std::optional<std::pair<std::uint32_t, std::uint16_t>> elapsedAndState);
std::vector<std::uint8_t> passwordRefusal();

} // namespace garrison
