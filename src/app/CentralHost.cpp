#include "app/CentralHost.h"

#include "monitor/QueryPackets.h"
#include "servers/ServerAddress.h"

namespace garrison {

std::optional<CentralHost> parseHostAndPort(const std::string &text, std::uint16_t defaultPort)
{
    const ServerAddress address = splitServerAddress(text);
    const auto port = parsePortText(address.portText);
    if (address.host.empty() || !port || (*port == 0 && !address.portText.empty()))
        return std::nullopt;
    return CentralHost{address.host, *port == 0 ? defaultPort : *port};
}

std::optional<CentralHost> parseCentralHost(const std::string &text)
{
    return parseHostAndPort(text, kCentralServerPort);
}

} // namespace garrison
