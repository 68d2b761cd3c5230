#include "common/GameCodePage.h"
#include "common/DisplayText.h"

#include <gtest/gtest.h>

using namespace garrison;

namespace {

// The code page is the program's; every test leaves the default behind.
class GameCodePage : public ::testing::Test {
protected:
    void TearDown() override { ASSERT_TRUE(selectGameCodePage("Windows-1252")); }
};

TEST_F(GameCodePage, CyrillicServerNamesShowAndTypeBack)
{
    EXPECT_EQ(gameCodePage(), "Windows-1252");
    // "Привет" in Windows-1251.
    const std::string cyrillic = "\xCF\xF0\xE8\xE2\xE5\xF2";
    EXPECT_EQ(displayText(cyrillic), "\xC3\x8F\xC3\xB0\xC3\xA8\xC3\xA2\xC3\xA5\xC3\xB2") << "as Windows-1252";
    ASSERT_TRUE(selectGameCodePage("Windows-1251"));
    EXPECT_EQ(gameCodePage(), "Windows-1251");
    EXPECT_EQ(displayText(cyrillic), "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82");
    EXPECT_EQ(utf8ToGameText("\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82"), cyrillic);
    // The euro sign sits elsewhere in Windows-1251.
    EXPECT_EQ(utf8ToGameText("\xE2\x82\xAC"), "\x88");
}

TEST_F(GameCodePage, WhatCannotBeConvertedIsMarkedAndTheRestKept)
{
    ASSERT_TRUE(selectGameCodePage("Windows-1250"));
    // U+4E2D has no place in Windows-1250; a cut-off UTF-8 lead byte neither.
    EXPECT_EQ(utf8ToGameText("a\xE4\xB8\xAD"
                             "b\xC5\x82\xC3"),
              "a?b\xB3?");
    // 0x98 is unassigned in Windows-1250.
    EXPECT_EQ(gameTextToUtf8("x\x98y"), "x\xEF\xBF\xBDy");
}

TEST_F(GameCodePage, AnUnknownNameKeepsTheCodePage)
{
    ASSERT_TRUE(selectGameCodePage("Windows-1251"));
    EXPECT_FALSE(selectGameCodePage("Klingon-42"));
    EXPECT_FALSE(selectGameCodePage(""));
    EXPECT_EQ(gameCodePage(), "Windows-1251");
    EXPECT_TRUE(selectGameCodePage("cp1252"));
    EXPECT_EQ(gameCodePage(), "Windows-1252");
}

} // namespace
