#include "monitor/MasterList.h"

#include "platform/HostLookup.h"

#include <arpa/inet.h>
#include <charconv>
#include <set>

namespace garrison {

namespace {

constexpr std::string_view kFinal = "\\final\\";
constexpr std::string_view kPlainStart = "\\ip\\";
constexpr std::string_view kRefusal = "\\error\\";

class Collector {
public:
    explicit Collector(std::vector<ListedServer> &servers) : m_servers(servers) {}

    Failure add(std::uint32_t address, std::uint16_t port)
    {
        if (port == 0 || !m_seen.insert(std::uint64_t{address} << 16 | port).second)
            return {};
        if (m_servers.size() == kMaxListedServers)
            return Failure::because("the master listed more than " + std::to_string(kMaxListedServers) + " servers");
        m_servers.push_back({address, port});
        return {};
    }

private:
    std::vector<ListedServer> &m_servers;
    std::set<std::uint64_t> m_seen;
};

bool isPlain(std::string_view reply)
{
    return reply.substr(0, kPlainStart.size()) == kPlainStart;
}

Failure parsePlain(std::string_view body, Collector &collector)
{
    // "\ip\1.2.3.4:2303\ip\..." up to the final pair, which is cut off already.
    std::size_t at = 0;
    while (at < body.size()) {
        if (body.substr(at, kPlainStart.size()) != kPlainStart)
            return Failure::because("the master's list holds something other than servers");
        at += kPlainStart.size();
        const std::size_t end = std::min(body.find('\\', at), body.size());
        const std::string_view entry = body.substr(at, end - at);
        at = end;
        const std::size_t colon = entry.rfind(':');
        in_addr address{};
        unsigned port = 0;
        const char *portEnd = entry.data() + entry.size();
        if (colon == std::string_view::npos ||
            inet_pton(AF_INET, std::string(entry.substr(0, colon)).c_str(), &address) != 1 ||
            std::from_chars(entry.data() + colon + 1, portEnd, port).ptr != portEnd || port > 65535)
            return Failure::because("the master listed a server as \"" + std::string(entry.substr(0, 40)) + "\"");
        if (Failure full = collector.add(address.s_addr, static_cast<std::uint16_t>(port)))
            return full;
    }
    return {};
}

Failure parseCompact(std::string_view body, Collector &collector)
{
    if (body.size() % 6 != 0)
        return Failure::because("the master's list is not whole servers (" + std::to_string(body.size()) + " bytes)");
    for (std::size_t at = 0; at < body.size(); at += 6) {
        const auto byte = [&](std::size_t i) {
            return static_cast<std::uint8_t>(body[at + i]);
        };
        std::uint32_t address = 0;
        for (std::size_t i = 0; i < 4; ++i)
            address |= std::uint32_t{byte(i)} << (8 * i);
        if (Failure full = collector.add(address, static_cast<std::uint16_t>(byte(4) << 8 | byte(5))))
            return full;
    }
    return {};
}

} // namespace

bool masterListComplete(std::string_view reply)
{
    if (reply.size() < kFinal.size() || reply.substr(reply.size() - kFinal.size()) != kFinal)
        return false;
    // Six bytes of a compact entry may end in "\final\" by chance: whole entries must lie before it.
    return isPlain(reply) || reply.substr(0, kRefusal.size()) == kRefusal || (reply.size() - kFinal.size()) % 6 == 0;
}

Failure parseMasterList(std::string_view reply, std::vector<ListedServer> &servers)
{
    servers.clear();
    if (reply.substr(0, kRefusal.size()) == kRefusal) {
        std::string why(reply.substr(kRefusal.size(), 200));
        why = why.substr(0, why.find('\\'));
        return Failure::because("the master refused: " + why);
    }
    if (reply.size() < kFinal.size() || reply.substr(reply.size() - kFinal.size()) != kFinal)
        return Failure::because(reply.empty() ? "the master closed the connection without a list"
                                              : "the master's list ended early (no \\final\\)");
    const std::string_view body = reply.substr(0, reply.size() - kFinal.size());
    Collector collector(servers);
    return isPlain(body) ? parsePlain(body, collector) : parseCompact(body, collector);
}

std::string listedServerText(std::uint32_t address, std::uint16_t port)
{
    return dottedAddress(address) + ":" + std::to_string(port);
}

} // namespace garrison
