#include "servers/DaemonAddress.h"

#include "servers/ServerAddress.h"

#include <arpa/inet.h>

namespace garrison {

std::string hostPortProblem(const std::string &key, const std::string &value)
{
    const ServerAddress split = splitServerAddress(value);
    if (split.host.empty())
        return key + " = " + value + ": no host name or address before the port";
    if (split.host.find_first_of(" \t/") != std::string::npos)
        return key + " = " + value + ": \"" + split.host + "\" is no host name or address";
    if (!parsePortText(split.portText) || (value.find(':') != std::string::npos && split.portText.empty()))
        return key + " = " + value + ": \"" + split.portText + "\" is no port number";
    return {};
}

std::string bindProblem(const std::string &value)
{
    in_addr address{};
    if (inet_pton(AF_INET, value.c_str(), &address) != 1)
        return "bind = " + value + ": no IPv4 address (such as 0.0.0.0 or 192.168.1.10)";
    return {};
}

} // namespace garrison
