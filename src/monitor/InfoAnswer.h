#pragma once

#include "monitor/ServerStatus.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace garrison {

// The fields of an info answer. Short datagrams read as if padded with zeros.
struct InfoAnswer {
    std::string description;
    std::string mission;
    std::uint32_t version = 0;
    std::uint32_t requiredVersion = 0;
    std::uint32_t gameState = 0;
    bool passwordRequired = false;
    std::optional<std::uint32_t> players;         // absent from short sockets answers
    std::optional<Implementation> implementation; // fixed only by long enough answers
};

// The sockets and VBS1 layout (first u16 equals the datagram's length).
InfoAnswer parseSocketsInfoAnswer(std::span<const std::uint8_t> datagram);
// The DirectPlay 8 enumeration response (C4 E2 at bytes 2 and 3).
InfoAnswer parseDirectPlayInfoAnswer(std::span<const std::uint8_t> datagram);

} // namespace garrison
