#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace garrison {

// The news and browser service as "garrison-linux.conf" names it.
struct CentralHost {
    std::string host;
    std::uint16_t port = 0;
};

// "HOST[:PORT]", the port 48124 unless written; nothing for an empty text or
// a port that is no port.
std::optional<CentralHost> parseCentralHost(const std::string &text);

} // namespace garrison
