#include "monitor/CentralServerClient.h"

#include "common/ByteReader.h"
#include "common/LittleEndian.h"
#include "monitor/AutoAddonPackets.h"
#include "monitor/CentralAnswers.h"

namespace garrison {

CentralServerClient::CentralServerClient(DatagramSender &sender, StatusStore &status)
    : m_sender(sender), m_status(status)
{
}

void CentralServerClient::requestNews(std::uint32_t address, std::uint16_t port, std::uint32_t seed)
{
    m_address = address;
    m_port = port;
    m_sessionId = static_cast<std::uint16_t>(seed);
    if (m_sessionId == 0)
        m_sessionId = 1;
    const auto high = static_cast<std::uint16_t>(seed >> 16);
    const auto check = static_cast<std::uint16_t>(((m_sessionId + high + kProtocolVersion) * 5) ^ 0xAAAA);
    std::vector<std::uint8_t> bytes;
    appendLittleEndian(bytes, kProtocolVersion);
    appendLittleEndian(bytes, m_sessionId);
    appendLittleEndian(bytes, high);
    appendLittleEndian(bytes, check);
    m_sender.send(address, port, bytes);
}

void CentralServerClient::requestBrowserList(std::uint32_t address, std::uint16_t port, std::uint32_t seed)
{
    m_address = address;
    m_port = port;
    m_listCookie = static_cast<std::uint16_t>(seed + 4660);
    m_browserRequested = true;
    std::vector<std::uint8_t> bytes;
    appendLittleEndian(bytes, kBrowserListRequest);
    appendLittleEndian(bytes, kProtocolVersion);
    appendLittleEndian(bytes, m_listCookie);
    m_sender.send(address, port, bytes);
}

bool CentralServerClient::isFrom(std::uint32_t address, std::uint16_t port) const
{
    return m_port != 0 && address == m_address && port == m_port;
}

void CentralServerClient::onDatagram(std::span<const std::uint8_t> datagram, std::uint32_t address, std::uint16_t port)
{
    if (datagram.size() < 2 || !isFrom(address, port))
        return;
    const std::uint16_t first = ByteReader(datagram).at<std::uint16_t>(0);
    if (m_browserRequested && first == m_listCookie) {
        std::lock_guard guard(m_status.lock);
        appendBrowserEntries(datagram, m_status.browserList);
    } else if (m_sessionId != 0 && first == m_sessionId) {
        auto news = parseNewsAnswer(datagram);
        m_sessionId = 0; // one answer per request: a later one with the same id is not taken
        std::lock_guard guard(m_status.lock);
        m_status.news = std::move(news);
        ++m_status.newsAnswers;
    }
}

} // namespace garrison
