#include "autoaddon/AutoAddonPeer.h"

#include "aaserver/ServerRequest.h"

namespace garrison::peers {

AutoAddonPeer::AutoAddonPeer(AutoAddonConfig config)
    : RequestLogPeer(config.address, config.port), m_config(std::move(config)),
      m_list(std::span(reinterpret_cast<const std::uint8_t *>(m_config.list.data()), m_config.list.size()),
             m_config.chunkData, m_config.listId)
{
    m_config.listId = m_list.id();
}

AutoAddonPeer::~AutoAddonPeer()
{
    stop();
}

void AutoAddonPeer::handle(UdpPort &port, std::span<const std::uint8_t> datagram, std::uint32_t address,
                           std::uint16_t sourcePort)
{
    const ServerRequest request = parseServerRequest(datagram);
    switch (request.kind) {
    case ServerRequest::Kind::List: {
        record("list " + request.password);
        const auto elapsed =
            m_config.elapsedMs ? std::optional(std::pair(*m_config.elapsedMs, m_config.gameState)) : std::nullopt;
        port.reply(address, sourcePort,
                   request.password == m_config.password ? listAnnouncement(m_list.chunkCount(), m_list.id(), elapsed)
                                                         : passwordRefusal());
        break;
    }
    case ServerRequest::Kind::SendList:
        record("send-list");
        for (std::size_t number = 0; number < m_list.chunkCount(); ++number)
            sendChunk(port, address, sourcePort, static_cast<int>(number), true);
        break;
    case ServerRequest::Kind::ReRequest:
        record("re-request " + std::to_string(request.chunk));
        if (request.chunk < m_list.chunkCount())
            sendChunk(port, address, sourcePort, request.chunk, false);
        break;
    case ServerRequest::Kind::Unknown:
        record("unknown");
        break;
    }
}

void AutoAddonPeer::sendChunk(UdpPort &port, std::uint32_t address, std::uint16_t sourcePort, int number, bool first)
{
    if (m_config.dropAlways.count(number) || (first && m_config.dropOnce.count(number)))
        return;
    auto chunk = m_list.chunk(static_cast<std::size_t>(number));
    if (first && m_config.corruptOnce.count(number))
        chunk.back() ^= 0xFF;
    port.reply(address, sourcePort, chunk);
}

} // namespace garrison::peers
