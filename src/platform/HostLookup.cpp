#include "platform/HostLookup.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>

namespace garrison {

std::optional<std::uint32_t> resolveIpv4(const std::string &host)
{
    in_addr dotted{};
    if (inet_pton(AF_INET, host.c_str(), &dotted) == 1)
        return dotted.s_addr;
    if (host.empty())
        return std::nullopt;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo *found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found)
        return std::nullopt;
    const auto address = reinterpret_cast<const sockaddr_in *>(found->ai_addr)->sin_addr.s_addr;
    freeaddrinfo(found);
    return address;
}

std::string dottedAddress(std::uint32_t address)
{
    char text[INET_ADDRSTRLEN] = {};
    in_addr value{};
    value.s_addr = address;
    inet_ntop(AF_INET, &value, text, sizeof text);
    return text;
}

} // namespace garrison
