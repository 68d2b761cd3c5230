#include "common/DisplayText.h"

#include <gtest/gtest.h>

using namespace garrison;

namespace {

TEST(DisplayText, Utf8IsKeptAndAnythingElseIsWindows1252)
{
    const struct {
        const char *text;
        bool utf8;
    } cases[] = {
        {"plain", true},
        {"Schlie\xC3\x9F"
         "en",
         true},
        {"\xE2\x82\xAC and \xF0\x9F\x98\x80", true},
        {"Schlie\xDF"
         "en",
         false},
        {"\xC3", false},             // cut short
        {"\xC0\xAF", false},         // overlong
        {"\xE0\x80\xAF", false},     // overlong
        {"\xED\xA0\x80", false},     // surrogate
        {"\xF4\x90\x80\x80", false}, // beyond U+10FFFF
        {"\x80", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(isValidUtf8(c.text), c.utf8) << c.text;
    EXPECT_EQ(displayText("Schlie\xC3\x9F"
                          "en"),
              "Schlie\xC3\x9F"
              "en");
    EXPECT_EQ(displayText("Schlie\xDF"
                          "en \x80"),
              "Schlie\xC3\x9F"
              "en \xE2\x82\xAC");
}

} // namespace
