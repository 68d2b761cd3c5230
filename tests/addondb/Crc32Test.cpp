#include "addondb/Crc32.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace garrison;

namespace {

std::uint32_t zlibCrc(std::uint32_t crc, const std::uint8_t *data, std::size_t size)
{
    return static_cast<std::uint32_t>(::crc32(crc, data, static_cast<uInt>(size)));
}

TEST(Crc32, MatchesZlibAtEveryLengthAlignmentAndStartingValue)
{
    EXPECT_EQ(updateCrc32(0, "123456789", 9), 0xCBF43926u);
    std::vector<std::uint8_t> data(70000);
    std::uint32_t random = 1985;
    for (auto &byte : data) {
        random = random * 1103515245u + 12345u;
        byte = static_cast<std::uint8_t>(random >> 24);
    }
    // Around every block boundary the folding has: 64-byte blocks, runs of
    // four, the point where it starts to fold, and long runs.
    std::vector<std::size_t> lengths;
    for (std::size_t n = 0; n <= 1400; ++n)
        lengths.push_back(n);
    for (const std::size_t n : {2047u, 2048u, 2049u, 4095u, 4096u, 4097u, 65535u, 65536u, 69999u})
        lengths.push_back(n);
    for (const std::uint32_t start : {0u, 0xFFFFFFFFu, 0x12345678u}) {
        for (const std::size_t offset : {0u, 1u, 13u}) {
            for (const std::size_t n : lengths) {
                if (offset + n > data.size())
                    continue;
                ASSERT_EQ(updateCrc32(start, data.data() + offset, n), zlibCrc(start, data.data() + offset, n))
                    << "length " << n << ", offset " << offset << ", from " << start;
            }
        }
    }
    // In pieces as a file is read: the same as at once.
    std::uint32_t pieces = 0;
    for (std::size_t at = 0; at < data.size(); at += 4099)
        pieces = updateCrc32(pieces, data.data() + at, std::min<std::size_t>(4099, data.size() - at));
    EXPECT_EQ(pieces, zlibCrc(0, data.data(), data.size()));
}

} // namespace
