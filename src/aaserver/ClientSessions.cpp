#include "aaserver/ClientSessions.h"

#include <algorithm>

namespace garrison {

namespace {

std::uint64_t key(std::uint32_t address, std::uint16_t port)
{
    return std::uint64_t{address} << 16 | port;
}

} // namespace

void ClientSessions::admit(std::uint32_t address, std::uint16_t port, std::uint32_t now)
{
    if (m_since.size() >= kMaxClients && !m_since.count(key(address, port))) {
        dropExpired(now);
        // Still full: the client admitted longest ago makes room.
        if (m_since.size() >= kMaxClients)
            m_since.erase(std::max_element(m_since.begin(), m_since.end(), [&](const auto &a, const auto &b) {
                return now - a.second < now - b.second;
            }));
    }
    m_since[key(address, port)] = now;
}

bool ClientSessions::admitted(std::uint32_t address, std::uint16_t port, std::uint32_t now) const
{
    const auto found = m_since.find(key(address, port));
    return found != m_since.end() && now - found->second < kLifetimeMs;
}

void ClientSessions::dropExpired(std::uint32_t now)
{
    std::erase_if(m_since, [&](const auto &entry) { return now - entry.second >= kLifetimeMs; });
}

} // namespace garrison
