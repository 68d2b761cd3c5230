#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace garrison {

// A service as "garrison-linux.conf" names it: the central server, a master.
struct CentralHost {
    std::string host;
    std::uint16_t port = 0;
};

// "HOST[:PORT]", the port defaultPort unless written; nothing for an empty
// host or a port that is no port (0 included).
std::optional<CentralHost> parseHostAndPort(const std::string &text, std::uint16_t defaultPort);
// The central server: port 48124 unless written.
std::optional<CentralHost> parseCentralHost(const std::string &text);

} // namespace garrison
