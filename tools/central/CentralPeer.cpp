#include "central/CentralPeer.h"

#include "central/CentralProtocol.h"
#include "common/ByteReader.h"
#include "monitor/AutoAddonPackets.h"

namespace garrison::peers {

CentralPeer::CentralPeer(CentralConfig config)
    : RequestLogPeer(config.address, config.port), m_config(std::move(config))
{
}

CentralPeer::~CentralPeer()
{
    stop();
}

void CentralPeer::handle(UdpPort &port, std::span<const std::uint8_t> datagram, std::uint32_t address,
                         std::uint16_t sourcePort)
{
    if (const auto session = newsRequestSession(datagram)) {
        record("news");
        port.reply(address, sourcePort, newsAnswer(*session, {m_config.pictureUrl, m_config.newsText, m_config.link}));
    } else if (const auto cookie = browserRequestCookie(datagram)) {
        record("browser");
        for (const auto &answer : browserAnswers(*cookie, m_config.entries, m_config.entriesPerDatagram))
            port.reply(address, sourcePort, answer);
    } else if (datagram.size() == 8 && ByteReader(datagram).at<std::uint16_t>(0) == kProtocolVersion) {
        record("news bad-check");
    } else {
        record("unknown");
    }
}

} // namespace garrison::peers
