#include "central/CentralPeer.h"

#include "common/ByteReader.h"
#include "common/LittleEndian.h"
#include "monitor/AutoAddonPackets.h"

#include <algorithm>

namespace garrison::peers {

namespace {

void appendText(std::vector<std::uint8_t> &out, const std::string &text)
{
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}

} // namespace

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
    const ByteReader reader(datagram);
    if (datagram.size() == 8 && reader.at<std::uint16_t>(0) == kProtocolVersion) {
        const auto session = reader.at<std::uint16_t>(2);
        const auto high = reader.at<std::uint16_t>(4);
        const auto check = static_cast<std::uint16_t>(((session + high + kProtocolVersion) * 5) ^ 0xAAAA);
        if (reader.at<std::uint16_t>(6) != check) {
            record("news bad-check");
            return;
        }
        record("news");
        std::vector<std::uint8_t> answer;
        appendLittleEndian(answer, session);
        appendLittleEndian(answer, std::uint16_t{0});
        appendText(answer, m_config.pictureUrl);
        appendText(answer, m_config.newsText);
        appendText(answer, m_config.link);
        port.reply(address, sourcePort, answer);
    } else if (datagram.size() == 6 && reader.at<std::uint16_t>(0) == kBrowserListRequest &&
               reader.at<std::uint16_t>(2) == kProtocolVersion) {
        record("browser");
        const auto cookie = reader.at<std::uint16_t>(4);
        const std::size_t step = std::max<std::size_t>(1, m_config.entriesPerDatagram);
        for (std::size_t first = 0; first < m_config.entries.size(); first += step) {
            std::vector<std::uint8_t> answer;
            appendLittleEndian(answer, cookie);
            for (std::size_t i = first; i < std::min(m_config.entries.size(), first + step); ++i) {
                const auto &entry = m_config.entries[i];
                const auto *raw = reinterpret_cast<const std::uint8_t *>(&entry.address);
                answer.insert(answer.end(), raw, raw + 4);
                appendLittleEndian(answer, entry.port);
                answer.push_back(entry.players);
                answer.push_back(entry.flags);
                appendText(answer, entry.name);
            }
            port.reply(address, sourcePort, answer);
        }
    } else {
        record("unknown");
    }
}

} // namespace garrison::peers
