#pragma once

#include "common/Failure.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace garrison {

// A server as a master lists it: the port is its status-query port.
struct ListedServer {
    std::uint32_t address = 0; // network order
    std::uint16_t queryPort = 0;

    // These games answer the status query one above the game port.
    std::uint16_t gamePort() const { return static_cast<std::uint16_t>(queryPort - 1); }
    bool operator==(const ListedServer &) const = default;
};

// More than any master has listed for these games; beyond it a reply is refused.
constexpr std::size_t kMaxListedServers = 65536;

// Whether the master's reply has ended: "\final\" closes both forms.
bool masterListComplete(std::string_view reply);

// Reads a whole reply: six bytes a server (address, port big-endian), or
// "\ip\a.b.c.d:port" pairs; "\final\" ends both. The same server twice is
// listed once; port 0 is left out.
Failure parseMasterList(std::string_view reply, std::vector<ListedServer> &servers);

// "1.2.3.4:2303"
std::string listedServerText(std::uint32_t address, std::uint16_t port);

} // namespace garrison
