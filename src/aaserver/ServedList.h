#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace garrison {

// A package list as an Auto-Addon server sends it: compressed, cut into
// numbered chunks that each carry their CRC-32, under an id that changes
// with the contents (clients cache lists by id).
class ServedList {
public:
    static constexpr std::size_t kChunkData = 1024;

    // listId 0: derived from the contents.
    explicit ServedList(std::span<const std::uint8_t> block, std::size_t chunkData = kChunkData,
                        std::uint64_t listId = 0);

    std::uint64_t id() const { return m_id; }
    std::size_t chunkCount() const { return m_chunks.size(); }
    const std::vector<std::uint8_t> &chunk(std::size_t number) const { return m_chunks[number]; }
    // Of every chunk together: what sending the whole list costs.
    std::size_t bytes() const { return m_bytes; }

private:
    std::uint64_t m_id = 0;
    std::vector<std::vector<std::uint8_t>> m_chunks;
    std::size_t m_bytes = 0;
};

} // namespace garrison
