#include "monitor/DaemonAnswers.h"

#include "platform/HostLookup.h"
#include "platform/Tick.h"

#include <cerrno>
#include <cstring>

namespace garrison {

DaemonAnswers::DaemonAnswers(SocketEndpoint &socket, std::function<void(const std::string &)> log,
                             std::uint64_t bytesPerAddress, std::optional<std::uint64_t> bytesPerNetwork)
    : m_socket(socket), m_log(std::move(log)), m_addressBudget(bytesPerAddress, 32), m_tally(tickCount())
{
    if (bytesPerNetwork)
        m_networkBudget.emplace(*bytesPerNetwork, 24);
}

void DaemonAnswers::send(std::uint32_t address, std::uint16_t port,
                         const std::vector<std::vector<std::uint8_t>> &datagrams, std::uint32_t now)
{
    std::size_t bytes = 0;
    for (const auto &datagram : datagrams)
        bytes += datagram.size();
    if (!m_addressBudget.take(address, bytes, now) ||
        (m_networkBudget && !m_networkBudget->take(address, bytes, now))) {
        m_tally.count("answers withheld by the rate limit");
        m_tally.count("bytes withheld", bytes);
        return;
    }
    for (const auto &datagram : datagrams) {
        if (m_socket.sendTo(address, port, datagram.data(), datagram.size()) < 0) {
            m_tally.count("failed sends");
            note("sending " + std::to_string(datagram.size()) + " bytes to " + dottedAddress(address) + ":" +
                 std::to_string(port) + " failed: " + std::strerror(errno));
            return;
        }
    }
}

void DaemonAnswers::note(const std::string &line)
{
    if (m_tally.mayLog())
        m_log(line);
}

void DaemonAnswers::tick(std::uint32_t now)
{
    if (const auto summary = m_tally.due(now))
        m_log(*summary);
}

} // namespace garrison
