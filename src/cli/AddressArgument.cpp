#include "cli/AddressArgument.h"

#include "platform/HostLookup.h"
#include "servers/ServerAddress.h"

#include <iostream>

namespace garrison::cli {

std::optional<ResolvedAddress> resolveAddressArgument(const std::string &text, std::uint16_t defaultPort)
{
    const auto split = splitServerAddress(text);
    auto port = split.portText.empty() ? std::optional<std::uint16_t>(defaultPort) : parsePortText(split.portText);
    if (split.host.empty() || !port) {
        std::cerr << "garrison-cli: bad address \"" << text << "\" (expected HOST[:PORT])\n";
        return std::nullopt;
    }
    const auto address = resolveIpv4(split.host);
    if (!address) {
        std::cerr << "garrison-cli: cannot resolve host \"" << split.host << "\"\n";
        return std::nullopt;
    }
    return ResolvedAddress{*address, *port};
}

std::string addressText(const ResolvedAddress &address)
{
    return dottedAddress(address.address) + (address.port ? ":" + std::to_string(address.port) : std::string());
}

} // namespace garrison::cli
