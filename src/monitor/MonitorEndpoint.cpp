#include "monitor/MonitorEndpoint.h"

#include "monitor/DatagramKind.h"
#include "monitor/QueryPackets.h"
#include "platform/Tick.h"

#include <array>
#include <random>

namespace garrison {

MonitorEndpoint::MonitorEndpoint(StatusStore &status, std::uint32_t pollInterval, std::string cacheFolder,
                                 AutoAddonClient::Fetch fetch)
    : m_poller(*this, status, pollInterval), m_autoAddon(*this, status, std::move(cacheFolder), fetch),
      m_central(*this, status)
{
}

MonitorEndpoint::~MonitorEndpoint()
{
    stop();
}

void MonitorEndpoint::send(std::uint32_t address, std::uint16_t port, std::span<const std::uint8_t> bytes)
{
    sendTo(address, port, bytes.data(), bytes.size());
}

void MonitorEndpoint::onMessage(const EndpointMessage &message)
{
    if (const auto *target = std::get_if<SetTarget>(&message)) {
        m_poller.setTarget(target->address, target->gamePort);
        m_autoAddon.setTarget(target->address);
    } else if (std::holds_alternative<StartPolling>(message)) {
        m_poller.startPolling(tickCount());
        m_autoAddon.restart();
        onTick();
    } else if (std::holds_alternative<StopPolling>(message)) {
        m_poller.stopPolling();
    } else if (const auto *news = std::get_if<NewsRequest>(&message)) {
        // Random, not the tick: a spoofer must not guess which answer will be taken.
        m_central.requestNews(news->address, news->port, std::random_device{}());
    } else if (const auto *browser = std::get_if<BrowserRequest>(&message)) {
        m_central.requestBrowserList(browser->address, browser->port, std::random_device{}());
    }
}

void MonitorEndpoint::onTick()
{
    const std::uint32_t now = tickCount();
    if (!m_poller.pollDue(now))
        return;
    m_autoAddon.checkProgress(now);
    // The list request follows the probes while the server is unknown, and
    // goes ahead of the info query once it is known.
    if (m_poller.implementation() == Implementation::Unknown) {
        m_poller.sendPoll(now);
        m_autoAddon.requestList(m_poller.gamePort());
    } else {
        m_autoAddon.requestList(m_poller.gamePort());
        m_poller.sendPoll(now);
    }
}

void MonitorEndpoint::onRead(int)
{
    std::array<std::uint8_t, kMaxDatagramBytes> buffer;
    const auto received = receiveInto(buffer);
    if (!received)
        return;
    const auto [datagram, address, port] = *received;
    const std::uint32_t now = tickCount();
    if (m_central.isFrom(address, port)) {
        m_central.onDatagram(datagram, address, port);
        return;
    }
    switch (classifyDatagram(datagram, address, port, m_poller.serverAddress(), m_autoAddon.port())) {
    case DatagramKind::SocketsInfo:
        m_poller.onSocketsInfo(datagram, port, now);
        break;
    case DatagramKind::DirectPlayInfo:
        m_poller.onDirectPlayInfo(datagram, port, now);
        break;
    case DatagramKind::GameSpyFragment:
        m_poller.onGameSpyFragment(datagram, port);
        break;
    case DatagramKind::AutoAddon:
        m_autoAddon.onDatagram(datagram, port, now);
        break;
    default:
        break;
    }
}

} // namespace garrison
