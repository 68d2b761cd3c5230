#include "support/CrcForge.h"

#include <zlib.h>

#include <array>

namespace garrison::test {

namespace {

std::array<std::uint32_t, 256> crcTable()
{
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int bit = 0; bit < 8; ++bit)
            c = c & 1 ? (c >> 1) ^ 0xEDB88320u : c >> 1;
        table[i] = c;
    }
    return table;
}

} // namespace

std::uint32_t crcOf(const std::string &text)
{
    return static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef *>(text.data()), text.size()));
}

std::string contentWithCrc(std::size_t size, std::uint32_t crc)
{
    static const auto table = crcTable();
    std::string content(size - 4, '\0');
    const std::uint32_t start =
        static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef *>(content.data()), content.size())) ^
        0xFFFFFFFFu;
    // Run the register back from the wanted end over four bytes: each table
    // entry has its own top byte, so each step has one answer.
    std::uint32_t x = crc ^ 0xFFFFFFFFu;
    for (int step = 0; step < 4; ++step) {
        std::uint32_t index = 0;
        while ((table[index] >> 24) != (x >> 24))
            ++index;
        x = ((x ^ table[index]) << 8) | index;
    }
    const std::uint32_t tail = x ^ start;
    for (int i = 0; i < 4; ++i)
        content += static_cast<char>(tail >> (8 * i));
    return content;
}

} // namespace garrison::test
