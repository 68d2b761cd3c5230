#include "monitor/ListChunks.h"

#include "common/ByteReader.h"
#include "monitor/AutoAddonPackets.h"

#include <zlib.h>

namespace garrison {

bool chunkIntact(std::span<const std::uint8_t> datagram)
{
    if (datagram.size() < kChunkOverhead)
        return false;
    const std::size_t covered = datagram.size() - 4;
    const auto crc = crc32(crc32(0, nullptr, 0), datagram.data(), static_cast<uInt>(covered));
    return ByteReader(datagram).at<std::uint32_t>(covered) == crc;
}

void ListChunks::reset(std::size_t count)
{
    m_slots.assign(count, {});
    m_received = 0;
    m_storedBytes = 0;
}

bool ListChunks::store(std::span<const std::uint8_t> datagram)
{
    if (datagram.size() < kChunkOverhead)
        return false;
    const std::size_t number = ByteReader(datagram).at<std::uint16_t>(0);
    // The compressed list never needs more room than the list itself.
    if (number >= m_slots.size() || has(number) || m_storedBytes + datagram.size() > kMaxListBytes ||
        !chunkIntact(datagram))
        return false;
    m_slots[number].assign(datagram.begin(), datagram.end());
    m_storedBytes += datagram.size();
    ++m_received;
    return true;
}

std::optional<std::vector<std::uint8_t>> ListChunks::assemble() const
{
    if (!complete())
        return std::nullopt;
    std::vector<std::uint8_t> packed;
    packed.reserve(m_storedBytes);
    for (const auto &slot : m_slots)
        packed.insert(packed.end(), slot.begin() + 2, slot.end() - 4);
    if (packed.size() < 4)
        return std::nullopt;
    const std::uint32_t size = ByteReader(packed).at<std::uint32_t>(0);
    if (size > kMaxListBytes)
        return std::nullopt;
    std::vector<std::uint8_t> list(size);
    uLongf length = size;
    if (uncompress(list.data(), &length, packed.data() + 4, static_cast<uLong>(packed.size() - 4)) != Z_OK)
        return std::nullopt;
    list.resize(length);
    return list;
}

} // namespace garrison
