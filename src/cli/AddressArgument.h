#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace garrison::cli {

struct ResolvedAddress {
    std::uint32_t address = 0; // network order
    std::uint16_t port = 0;
};

// HOST[:PORT] from the command line, resolved; defaultPort when none is
// written. Says what is wrong on stderr and gives nothing when it cannot.
std::optional<ResolvedAddress> resolveAddressArgument(const std::string &text, std::uint16_t defaultPort);
std::string addressText(const ResolvedAddress &address);

} // namespace garrison::cli
