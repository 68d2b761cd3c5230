#include "common/TextCompare.h"

#include <gtest/gtest.h>

using namespace garrison;

namespace {

TEST(TextCompare, EqualIgnoringCaseIncludingWindows1252Letters)
{
    EXPECT_TRUE(equalsNoCase("AddOns\\X.PBO", "addons\\x.pbo"));
    EXPECT_TRUE(equalsNoCase("\xC4rger", "\xE4rger")); // A/a with diaeresis
    EXPECT_TRUE(equalsNoCase("\x8A", "\x9A"));         // S caron
    EXPECT_FALSE(equalsNoCase("\xD7", "\xF7"));        // multiplication and division sign
    EXPECT_FALSE(equalsNoCase("abc", "abcd"));
    EXPECT_FALSE(equalsNoCase("[", "{")); // not letters, 32 apart all the same
}

TEST(TextCompare, AsciiVariantLeavesBytesAbove127Alone)
{
    EXPECT_TRUE(equalsNoCaseAscii("AddOns", "aDDoNS"));
    EXPECT_FALSE(equalsNoCaseAscii("\xC3\x84", "\xE3\x84"));
}

TEST(TextCompare, OrdersIgnoringCaseShorterFirst)
{
    EXPECT_EQ(compareNoCase("abc", "ABC"), 0);
    EXPECT_LT(compareNoCase("abc", "ABD"), 0);
    EXPECT_GT(compareNoCase("b", "A"), 0);
    EXPECT_LT(compareNoCase("ab", "ABC"), 0);
}

TEST(TextCompare, PrefixesAndSuffixes)
{
    EXPECT_TRUE(startsWithNoCase("-CONNECT=1.2.3.4", "-connect="));
    EXPECT_FALSE(startsWithNoCase("-con", "-connect="));
    EXPECT_TRUE(endsWithNoCase("addons\\X.PBO", ".pbo"));
    EXPECT_FALSE(endsWithNoCase("bo", ".pbo"));
}

} // namespace
