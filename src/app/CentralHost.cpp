#include "app/CentralHost.h"

#include "monitor/QueryPackets.h"
#include "servers/ServerAddress.h"

namespace garrison {

std::optional<CentralHost> parseCentralHost(const std::string &text)
{
    const ServerAddress address = splitServerAddress(text);
    const auto port = parsePortText(address.portText);
    if (address.host.empty() || !port || (*port == 0 && !address.portText.empty()))
        return std::nullopt;
    return CentralHost{address.host, *port == 0 ? kCentralServerPort : *port};
}

} // namespace garrison
