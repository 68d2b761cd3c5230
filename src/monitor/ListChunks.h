#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace garrison {

// A chunk datagram: u16 number, list data, u32 CRC-32 of everything before it.
bool chunkIntact(std::span<const std::uint8_t> datagram);

// The numbered datagrams of one package list, each kept whole, until all
// have come and the list can be assembled.
class ListChunks {
public:
    // Empties the table for a list of count chunks.
    void reset(std::size_t count);
    std::size_t expected() const { return m_slots.size(); }
    std::size_t received() const { return m_received; }
    bool complete() const { return m_received == m_slots.size(); }
    bool has(std::size_t number) const { return number < m_slots.size() && !m_slots[number].empty(); }

    // Keeps an intact chunk whose number is below the expected count and
    // whose slot is empty; false for anything else.
    bool store(std::span<const std::uint8_t> datagram);
    const std::vector<std::uint8_t> &chunk(std::size_t number) const { return m_slots[number]; }

    // The list: the data of all chunks in order is a u32 size and a zlib
    // stream of that many bytes. Nothing unless it decompresses and fits the cap.
    std::optional<std::vector<std::uint8_t>> assemble() const;

private:
    std::vector<std::vector<std::uint8_t>> m_slots;
    std::size_t m_received = 0;
    std::size_t m_storedBytes = 0;
};

} // namespace garrison
