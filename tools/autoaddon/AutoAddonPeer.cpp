#include "autoaddon/AutoAddonPeer.h"

#include "common/ByteReader.h"
#include "common/LittleEndian.h"
#include "monitor/AutoAddonPackets.h"

#include <zlib.h>

#include <algorithm>

namespace garrison::peers {

namespace {

std::vector<std::uint8_t> packList(const std::string &list)
{
    std::vector<std::uint8_t> packed;
    appendLittleEndian(packed, static_cast<std::uint32_t>(list.size()));
    uLongf length = compressBound(static_cast<uLong>(list.size()));
    packed.resize(4 + length);
    compress(packed.data() + 4, &length, reinterpret_cast<const Bytef *>(list.data()), static_cast<uLong>(list.size()));
    packed.resize(4 + length);
    return packed;
}

std::vector<std::uint8_t> withCrc(std::vector<std::uint8_t> datagram)
{
    appendLittleEndian(datagram, static_cast<std::uint32_t>(
                                     crc32(crc32(0, nullptr, 0), datagram.data(), static_cast<uInt>(datagram.size()))));
    return datagram;
}

} // namespace

AutoAddonPeer::AutoAddonPeer(AutoAddonConfig config)
    : RequestLogPeer(config.address, config.port), m_config(std::move(config))
{
    const auto packed = packList(m_config.list);
    if (m_config.listId == 0)
        m_config.listId = 0x5A17000000000000ull ^ crc32(0, packed.data(), static_cast<uInt>(packed.size()));
    const std::size_t step = std::max<std::size_t>(1, m_config.chunkData);
    for (std::size_t offset = 0, number = 0; offset < packed.size(); offset += step, ++number) {
        std::vector<std::uint8_t> chunk;
        appendLittleEndian(chunk, static_cast<std::uint16_t>(number));
        chunk.insert(chunk.end(), packed.begin() + static_cast<std::ptrdiff_t>(offset),
                     packed.begin() + static_cast<std::ptrdiff_t>(std::min(packed.size(), offset + step)));
        m_chunks.push_back(withCrc(std::move(chunk)));
    }
}

AutoAddonPeer::~AutoAddonPeer()
{
    stop();
}

void AutoAddonPeer::handle(UdpPort &port, std::span<const std::uint8_t> datagram, std::uint32_t address,
                           std::uint16_t sourcePort)
{
    ByteReader reader(datagram);
    const auto version = reader.at<std::uint16_t>(0);
    const auto code = reader.at<std::uint16_t>(2);
    if (version != kProtocolVersion || datagram.size() < 4) {
        record("unknown");
        return;
    }
    if (code == kListRequest && datagram.size() >= 5) {
        const std::string password = reader.textAt(4);
        record("list " + password);
        std::vector<std::uint8_t> answer;
        if (password != m_config.password) {
            appendLittleEndian(answer, kPasswordRefused);
            appendLittleEndian(answer, std::uint16_t{0});
        } else {
            appendLittleEndian(answer, kListAnnouncement);
            appendLittleEndian(answer, static_cast<std::uint16_t>(m_chunks.size()));
            appendLittleEndian(answer, m_config.listId);
            if (m_config.elapsedMs) {
                appendLittleEndian(answer, *m_config.elapsedMs);
                appendLittleEndian(answer, m_config.gameState);
            }
        }
        port.reply(address, sourcePort, answer);
    } else if (code == kSendListRequest && datagram.size() == 4) {
        record("send-list");
        for (std::size_t number = 0; number < m_chunks.size(); ++number)
            sendChunk(port, address, sourcePort, static_cast<int>(number), true);
    } else if (code == kChunkReRequest && datagram.size() == 6) {
        const int number = reader.at<std::uint16_t>(4);
        record("re-request " + std::to_string(number));
        if (static_cast<std::size_t>(number) < m_chunks.size())
            sendChunk(port, address, sourcePort, number, false);
    } else {
        record("unknown");
    }
}

void AutoAddonPeer::sendChunk(UdpPort &port, std::uint32_t address, std::uint16_t sourcePort, int number, bool first)
{
    if (m_config.dropAlways.count(number) || (first && m_config.dropOnce.count(number)))
        return;
    auto chunk = m_chunks[static_cast<std::size_t>(number)];
    if (first && m_config.corruptOnce.count(number))
        chunk.back() ^= 0xFF;
    port.reply(address, sourcePort, chunk);
}

} // namespace garrison::peers
