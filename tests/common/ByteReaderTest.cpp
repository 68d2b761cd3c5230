#include "common/ByteReader.h"

#include <gtest/gtest.h>

#include <vector>

using namespace garrison;

namespace {

std::vector<std::uint8_t> bytes(std::initializer_list<int> values)
{
    std::vector<std::uint8_t> out;
    for (int v : values)
        out.push_back(static_cast<std::uint8_t>(v));
    return out;
}

TEST(ByteReader, ReadsLittleEndianValuesInOrder)
{
    const auto data = bytes({0x34, 0x12, 0x78, 0x56, 0x34, 0x12, 0xff});
    ByteReader reader(data);
    std::uint16_t a = 0;
    std::uint32_t b = 0;
    std::int8_t c = 0;
    EXPECT_TRUE(reader.read(a));
    EXPECT_TRUE(reader.read(b));
    EXPECT_TRUE(reader.read(c));
    EXPECT_EQ(a, 0x1234);
    EXPECT_EQ(b, 0x12345678u);
    EXPECT_EQ(c, -1);
    EXPECT_TRUE(reader.ok());
    EXPECT_TRUE(reader.atEnd());
}

TEST(ByteReader, ReadPastTheEndKeepsPresentBytesZeroesTheRestAndFails)
{
    const auto data = bytes({0xaa, 0xbb, 0xcc});
    ByteReader reader(data);
    std::uint16_t first = 0;
    std::uint32_t second = 0xffffffff;
    EXPECT_TRUE(reader.read(first));
    EXPECT_FALSE(reader.read(second));
    EXPECT_EQ(second, 0xccu);
    EXPECT_FALSE(reader.ok());
    EXPECT_EQ(reader.position(), 3u);
    std::uint8_t more = 9;
    EXPECT_FALSE(reader.read(more));
    EXPECT_EQ(more, 0);
}

TEST(ByteReader, AbsoluteReadsTreatMissingBytesAsZero)
{
    const auto data = bytes({1, 2, 3, 4, 5});
    const ByteReader reader(data);
    EXPECT_EQ(reader.at<std::uint32_t>(0), 0x04030201u);
    EXPECT_EQ(reader.at<std::uint32_t>(3), 0x0504u);
    EXPECT_EQ(reader.at<std::uint32_t>(5), 0u);
    EXPECT_EQ(reader.at<std::uint32_t>(SIZE_MAX - 1), 0u); // no overflow of offset + i
    EXPECT_EQ(reader.position(), 0u);
}

TEST(ByteReader, TextsEndAtTheirNulOrAtTheEndOfTheData)
{
    const std::vector<std::uint8_t> data{'a', 'b', 0, 'c', 'd', 'e'};
    ByteReader reader(data);
    std::string text;
    EXPECT_TRUE(reader.readText(text));
    EXPECT_EQ(text, "ab");
    EXPECT_FALSE(reader.readText(text, 2));
    EXPECT_EQ(text, "cd");
    EXPECT_TRUE(reader.atEnd());

    EXPECT_EQ(reader.textAt(0), "ab");
    EXPECT_EQ(reader.textAt(3), "cde");
    EXPECT_EQ(reader.textAt(4, 1), "d");
    EXPECT_EQ(reader.textAt(6), "");
    EXPECT_EQ(reader.textAt(100), "");
}

TEST(ByteReader, ReadBytesAndSeekStayInside)
{
    const auto data = bytes({1, 2, 3});
    ByteReader reader(data);
    EXPECT_FALSE(reader.seek(4));
    EXPECT_TRUE(reader.seek(1));
    std::uint8_t out[4] = {9, 9, 9, 9};
    EXPECT_FALSE(reader.readBytes(out, sizeof out));
    EXPECT_EQ(out[0], 2);
    EXPECT_EQ(out[1], 3);
    EXPECT_EQ(out[2], 0);
    EXPECT_EQ(out[3], 0);
}

} // namespace
