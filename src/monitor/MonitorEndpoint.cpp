#include "monitor/MonitorEndpoint.h"

#include "monitor/DatagramKind.h"
#include "platform/Tick.h"

#include <array>

namespace garrison {

MonitorEndpoint::MonitorEndpoint(StatusStore &status, std::uint32_t pollInterval)
    : m_poller(*this, status, pollInterval)
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

void MonitorEndpoint::onCommand(const Command &command)
{
    switch (command.type) {
    case kSetTarget:
        m_poller.setTarget(static_cast<std::uint32_t>(command.first), static_cast<std::uint16_t>(command.second));
        break;
    case kStartPolling:
        m_poller.startPolling(tickCount());
        onIdle();
        break;
    case kStopPolling:
        m_poller.stopPolling();
        break;
    default:
        break; // unknown commands are ignored
    }
}

void MonitorEndpoint::onIdle()
{
    const std::uint32_t now = tickCount();
    if (m_poller.pollDue(now))
        m_poller.sendPoll(now);
}

void MonitorEndpoint::onRead(int)
{
    std::array<std::uint8_t, kReceiveBufferSize> buffer;
    std::uint32_t address = 0;
    std::uint16_t port = 0;
    const long length = receive(buffer.data(), buffer.size(), address, port);
    if (length < 0)
        return;
    const std::span<const std::uint8_t> datagram(buffer.data(), static_cast<std::size_t>(length));
    const std::uint32_t now = tickCount();
    switch (classifyDatagram(datagram, address, port, m_poller.serverAddress(), 0)) {
    case DatagramKind::SocketsInfo:
        m_poller.onSocketsInfo(datagram, port, now);
        break;
    case DatagramKind::DirectPlayInfo:
        m_poller.onDirectPlayInfo(datagram, port, now);
        break;
    case DatagramKind::GameSpyFragment:
        m_poller.onGameSpyFragment(datagram, port);
        break;
    default:
        break;
    }
}

} // namespace garrison
