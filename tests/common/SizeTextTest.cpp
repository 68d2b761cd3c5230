#include "common/SizeText.h"

#include <gtest/gtest.h>

using namespace garrison;

namespace {

TEST(SizeText, KilobytesRoundedUpAndGroupedByThousands)
{
    const struct {
        std::uint64_t bytes;
        const char *text;
    } cases[] = {
        {0, "0 KB"},
        {1, "1 KB"},
        {1024, "1 KB"},
        {1048576, "1,024 KB"},
        {1048577, "1,025 KB"},
        {1023999 * 1024ull, "1,023,999 KB"},
        {4294967295ull, "4,194,304 KB"}, // the largest 32-bit size must not wrap to 0
    };
    for (const auto &c : cases)
        EXPECT_EQ(sizeText(c.bytes, " KB"), c.text) << c.bytes;
}

TEST(SizeText, GroupingDoesNotDependOnTheUnit)
{
    EXPECT_EQ(sizeText(1048576, " Kilobytes"), "1,024 Kilobytes");
    EXPECT_EQ(sizeText(1048576, ""), "1,024");
    EXPECT_EQ(groupedNumber(999), "999");
    EXPECT_EQ(groupedNumber(100000), "100,000");
    EXPECT_EQ(groupedNumber(18446744073709551615ull), "18,446,744,073,709,551,615");
}

TEST(SizeText, CrcIsEightLowerCaseHexDigits)
{
    EXPECT_EQ(crcText(0x1234), "00001234");
    EXPECT_EQ(crcText(0xB32F5E43), "b32f5e43");
    EXPECT_EQ(crcText(0), "00000000");
}

} // namespace
