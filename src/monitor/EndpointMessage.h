#pragma once

#include <cstdint>
#include <variant>

namespace garrison {

// What other threads ask of a network worker. Addresses in network order.
struct SetTarget {
    std::uint32_t address = 0;
    std::uint16_t gamePort = 0; // 0: not known, found by the probes
};
struct StartPolling {};
struct StopPolling {};
struct NewsRequest {
    std::uint32_t address = 0; // the central server's
    std::uint16_t port = 0;
};
struct BrowserRequest {
    std::uint32_t address = 0; // the central server's
    std::uint16_t port = 0;
};

using EndpointMessage = std::variant<SetTarget, StartPolling, StopPolling, NewsRequest, BrowserRequest>;

} // namespace garrison
