#include "common/MemoryStream.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

using namespace garrison;

namespace {

struct GrowthCase {
    std::size_t start;
    std::size_t prefill;
    std::size_t write;
    std::size_t capacity;
};

class MemoryStreamGrowth : public testing::TestWithParam<GrowthCase> {};

TEST_P(MemoryStreamGrowth, GrowsByTheLargerOfShortfallAndCapacity)
{
    const auto c = GetParam();
    MemoryStream stream(c.start);
    const std::vector<std::uint8_t> prefill(c.prefill, 1);
    ASSERT_EQ(stream.write(prefill.data(), prefill.size()), prefill.size());
    const std::vector<std::uint8_t> data(c.write, 7);
    EXPECT_EQ(stream.write(data.data(), data.size()), data.size());
    EXPECT_EQ(stream.capacity(), c.capacity);
    EXPECT_EQ(stream.size(), c.prefill + c.write);
    EXPECT_EQ(stream.data()[c.prefill + c.write - 1], 7);
    EXPECT_EQ(stream.data()[0], c.prefill ? 1 : 7);
}

INSTANTIATE_TEST_SUITE_P(Cases, MemoryStreamGrowth,
                         testing::Values(GrowthCase{0, 0, 10, 256},     // empty stream starts at 256
                                         GrowthCase{0, 0, 300, 300},    // or at the shortfall when larger
                                         GrowthCase{100, 80, 70, 200},  // doubles
                                         GrowthCase{100, 80, 400, 480}, // shortfall 380 beats 100
                                         GrowthCase{64, 64, 1, 128}));  // full stream doubles

TEST(MemoryStream, ReadsStopAtTheSizeNotTheCapacity)
{
    MemoryStream stream(1024);
    stream.write("abcdef", 6);
    ASSERT_TRUE(stream.seek(2, SeekOrigin::Start));
    char buffer[16] = {};
    EXPECT_EQ(stream.read(buffer, sizeof buffer), 4u);
    EXPECT_EQ(std::string(buffer), "cdef");
    EXPECT_EQ(stream.read(buffer, sizeof buffer), 0u);
}

TEST(MemoryStream, SeekOutsideTheDataFailsAndKeepsThePosition)
{
    MemoryStream stream;
    stream.write("0123456789", 10);
    ASSERT_TRUE(stream.seek(4, SeekOrigin::Start));
    EXPECT_FALSE(stream.seek(11, SeekOrigin::Start));
    EXPECT_FALSE(stream.seek(-5, SeekOrigin::Current));
    EXPECT_FALSE(stream.seek(1, SeekOrigin::End));
    EXPECT_EQ(stream.position(), 4u);
    EXPECT_TRUE(stream.seek(0, SeekOrigin::End));
    EXPECT_EQ(stream.position(), 10u);
    EXPECT_TRUE(stream.seek(-10, SeekOrigin::Current));
    EXPECT_EQ(stream.position(), 0u);
}

TEST(MemoryStream, WriteInsideTheDataOverwritesWithoutGrowingTheSize)
{
    MemoryStream stream;
    stream.write("abcdef", 6);
    stream.seek(1, SeekOrigin::Start);
    stream.write("XY", 2);
    EXPECT_EQ(stream.size(), 6u);
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(stream.data()), stream.size()), "aXYdef");
}

TEST(MemoryStream, FixedBufferWritesOnlyWhatFitsIntoTheCallersMemory)
{
    std::array<std::uint8_t, 8> buffer{};
    {
        MemoryStream stream(buffer);
        EXPECT_TRUE(stream.isFixed());
        EXPECT_EQ(stream.size(), 8u);
        stream.seek(5, SeekOrigin::Start);
        EXPECT_EQ(stream.write("wxyz", 4), 3u);
        EXPECT_EQ(stream.write("q", 1), 0u);
        EXPECT_EQ(stream.capacity(), 8u);
        EXPECT_EQ(stream.data(), buffer.data());
    }
    // The stream is gone, the buffer is ours and holds what was written.
    EXPECT_EQ(buffer[5], 'w');
    EXPECT_EQ(buffer[7], 'y');
}

TEST(MemoryStream, FixedBufferIsReadToItsLength)
{
    std::array<std::uint8_t, 3> buffer{{'a', 'b', 'c'}};
    MemoryStream stream(buffer);
    char out[8] = {};
    EXPECT_EQ(stream.read(out, sizeof out), 3u);
    EXPECT_EQ(std::string(out), "abc");
}

} // namespace
