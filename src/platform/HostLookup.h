#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace garrison {

// An IPv4 address in network order: the dotted form first, else the first
// address a host-name lookup gives. Blocks while the lookup runs.
std::optional<std::uint32_t> resolveIpv4(const std::string &host);
std::string dottedAddress(std::uint32_t address);

} // namespace garrison
