#include "aaserver/ServedList.h"

#include "common/LittleEndian.h"

#include <zlib.h>

#include <algorithm>

namespace garrison {

namespace {

std::uint32_t crcOf(std::span<const std::uint8_t> bytes)
{
    return static_cast<std::uint32_t>(crc32(crc32(0, nullptr, 0), bytes.data(), static_cast<uInt>(bytes.size())));
}

} // namespace

ServedList::ServedList(std::span<const std::uint8_t> block, std::size_t chunkData, std::uint64_t listId)
{
    // The uncompressed size in front, then the zlib stream.
    std::vector<std::uint8_t> packed;
    appendLittleEndian(packed, static_cast<std::uint32_t>(block.size()));
    uLongf length = compressBound(static_cast<uLong>(block.size()));
    packed.resize(4 + length);
    compress(packed.data() + 4, &length, block.data(), static_cast<uLong>(block.size()));
    packed.resize(4 + length);
    m_id = listId != 0
               ? listId
               : (std::uint64_t{crcOf(block)} << 32 | static_cast<std::uint32_t>(block.size())) ^ 0x5A17000000000000ull;
    const std::size_t step = std::max<std::size_t>(1, chunkData);
    for (std::size_t offset = 0, number = 0; offset < packed.size(); offset += step, ++number) {
        std::vector<std::uint8_t> chunk;
        appendLittleEndian(chunk, static_cast<std::uint16_t>(number));
        chunk.insert(chunk.end(), packed.begin() + static_cast<std::ptrdiff_t>(offset),
                     packed.begin() + static_cast<std::ptrdiff_t>(std::min(packed.size(), offset + step)));
        appendLittleEndian(chunk, crcOf(chunk));
        m_bytes += chunk.size();
        m_chunks.push_back(std::move(chunk));
    }
}

} // namespace garrison
