#include "addondb/PayloadPacker.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace garrison;

namespace {

// Record-like bytes, longer than zlib's window and its blocks, so that a
// stream packed in pieces differs from the one-call stream if anything
// about the pieces leaks into it.
std::vector<std::uint8_t> samplePayload()
{
    std::vector<std::uint8_t> payload;
    std::uint32_t random = 1985;
    for (int i = 0; i < 12000; ++i) {
        const std::string name = "addon" + std::to_string(i % 977) + (i % 3 ? ".pbo" : ".PBO");
        payload.insert(payload.end(), name.begin(), name.end());
        payload.push_back(0);
        for (int b = 0; b < 14; ++b) {
            random = random * 1103515245u + 12345u;
            payload.push_back(static_cast<std::uint8_t>(b < 6 ? b : random >> 24));
        }
    }
    return payload;
}

std::vector<std::uint8_t> compress2AtLevel9(const std::vector<std::uint8_t> &payload)
{
    uLongf length = compressBound(static_cast<uLong>(payload.size()));
    std::vector<std::uint8_t> packed(length);
    EXPECT_EQ(compress2(packed.data(), &length, payload.data(), static_cast<uLong>(payload.size()), 9), Z_OK);
    packed.resize(length);
    return packed;
}

TEST(PayloadPacker, WhateverWasFedTheStreamIsExactlyTheOneCallStream)
{
    const auto payload = samplePayload();
    ASSERT_GT(payload.size(), 200000u);
    const auto expected = compress2AtLevel9(payload);
    const auto slice = [&](std::size_t from, std::size_t to) {
        return std::vector<std::uint8_t>(payload.begin() + static_cast<std::ptrdiff_t>(from),
                                         payload.begin() + static_cast<std::ptrdiff_t>(to));
    };
    auto altered = slice(0, 150000);
    altered.back() ^= 1;
    auto longer = payload;
    longer.push_back(7);
    struct Case {
        const char *what;
        std::vector<std::vector<std::uint8_t>> pieces;
        std::size_t packedAhead;
    };
    const std::vector<Case> cases = {
        {"pieces of every size",
         {slice(0, 1), slice(1, 3), slice(3, 40000), slice(40000, 40001), slice(40001, 180000), slice(180000, 180300)},
         180300},
        {"the whole payload", {payload}, payload.size()},
        {"nothing", {}, 0},
        {"a piece the payload does not start with", {slice(0, 1000), altered}, 0},
        {"more than the payload", {longer}, 0},
    };
    for (const auto &c : cases) {
        PayloadPacker packer;
        for (const auto &piece : c.pieces)
            packer.feed(piece);
        EXPECT_EQ(packer.pack(payload), expected) << c.what;
        EXPECT_EQ(packer.packedAhead(), c.packedAhead) << c.what;
        // Spent: what comes later is packed in one call.
        packer.feed(slice(0, 10));
        EXPECT_EQ(packer.pack(payload), expected) << c.what << ", packed again";
    }
    EXPECT_EQ(PayloadPacker::packAtOnce(payload), expected);
}

} // namespace
