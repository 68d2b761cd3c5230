#include "lang/LanguageTable.h"
#include "common/WordSplit.h"
#include "lang/LanguageLine.h"

#include <gtest/gtest.h>

using namespace garrison;

namespace {

LanguageTable tableOf(std::string_view text)
{
    LanguageTable table;
    table.merge(text);
    return table;
}

TEST(LanguageLine, TrimAndEscapes)
{
    EXPECT_EQ(trimWordSeparators(" \t\b\v\f\r DSTR_X \"a\" \r\n"), "DSTR_X \"a\"");
    EXPECT_EQ(trimWordSeparators("\r\n \t"), "");

    const struct {
        const char *text;
        const char *expected;
    } cases[] = {
        {R"(one\ntwo)", "one\ntwo"},    {R"(a\\b)", "a\\b"}, {R"(\q\N)", "qN"}, {"end\\", "end"},
        {"@ % && 100%", "@ % && 100%"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(unescapeLanguageText(c.text), c.expected) << c.text;
}

TEST(LanguageTable, SyntaxOfOneSource)
{
    const auto table = tableOf("// a comment line\n"
                               "   \n"
                               "DSTR_PLAIN\tText\n"
                               "DSTR_SPACED   \"  kept spaces \"\n"
                               "DSTR_EMPTYQ \"\" \"Word\"\n"
                               "DSTR_UNCLOSED \"Local/Single player\n"
                               "DSTR_COMMA \"Inactive\",\n"
                               "DSTR_THIRD \"Text\" ignored tokens here\n"
                               "DSTR_ALONE\n"
                               "DSTR_GLUED abc\"def\"\n"
                               "DSTR_LINES \"two\\nlines\"\n"
                               "//DSTR_COMMENTED \"no\"\n"
                               "DSTR_PLAIN \"second definition\"\n");
    const struct {
        const char *label;
        const char *text;
    } cases[] = {
        {"DSTR_PLAIN", "Text"},       {"DSTR_SPACED", "  kept spaces "},
        {"DSTR_EMPTYQ", "Word"},      {"DSTR_UNCLOSED", "Local/Single player"},
        {"DSTR_COMMA", "Inactive"},   {"DSTR_THIRD", "Text"},
        {"DSTR_ALONE", ""},           {"DSTR_GLUED", "abc"},
        {"DSTR_LINES", "two\nlines"}, {"//DSTR_COMMENTED", "//DSTR_COMMENTED"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(table.Resolve(c.label), c.text) << c.label;
    EXPECT_EQ(table.size(), 9u);
}

TEST(LanguageTable, ResolvePassesThroughWhatIsNoLabel)
{
    const auto table = tableOf("DSTR_MAIN_TITLE \"Title\"\n");
    EXPECT_EQ(table.Resolve(""), "");
    EXPECT_EQ(table.Resolve("one"), "one");
    EXPECT_EQ(table.Resolve("dstr_main_title"), "dstr_main_title");
    EXPECT_EQ(table.Resolve("DSTR_MAIN_TITLE "), "DSTR_MAIN_TITLE ");
    EXPECT_EQ(table.Resolve("DSTR_MAIN_TITLE"), "Title");
}

TEST(LanguageTable, ReferencesAreFollowedUpToThreeDeep)
{
    const auto table = tableOf("DSTR_R1 DSTR_R2\n"
                               "DSTR_R2 DSTR_R3\n"
                               "DSTR_R3 DSTR_END\n"
                               "DSTR_END \"End\"\n"
                               "DSTR_R0 DSTR_R1\n"
                               "DSTR_QUOTED \"DSTR_END\"\n"
                               "DSTR_DANGLING DSTR_NOWHERE\n"
                               "DSTR_PING DSTR_PONG\n"
                               "DSTR_PONG DSTR_PING\n"
                               "DSTR_SELF DSTR_SELF\n");
    EXPECT_EQ(table.Resolve("DSTR_R1"), "End");           // three references, then the text
    EXPECT_EQ(table.Resolve("DSTR_R0"), "RECURSE ERROR"); // a fourth reference
    EXPECT_EQ(table.Resolve("DSTR_QUOTED"), "End");       // quotes do not matter
    EXPECT_EQ(table.Resolve("DSTR_DANGLING"), "DSTR_NOWHERE");
    EXPECT_EQ(table.Resolve("DSTR_PING"), "RECURSE ERROR");
    EXPECT_EQ(table.Resolve("DSTR_PONG"), "RECURSE ERROR");
    EXPECT_EQ(table.Resolve("DSTR_SELF"), "RECURSE ERROR");
}

TEST(LanguageTable, FirstDefinitionWinsAcrossSources)
{
    LanguageTable table;
    table.merge("DSTR_A \"From file\"\nDSTR_A \"File again\"\nDSTR_REF DSTR_B\n");
    table.merge("DSTR_A \"Built-in A\"\nDSTR_B \"Built-in B\"\nDSTR_C \"Built-in C\"\n");
    EXPECT_EQ(table.Resolve("DSTR_A"), "From file");
    EXPECT_EQ(table.Resolve("DSTR_B"), "Built-in B");
    EXPECT_EQ(table.Resolve("DSTR_REF"), "Built-in B");
    EXPECT_EQ(table.Resolve("DSTR_C"), "Built-in C");
    EXPECT_EQ(table.size(), 4u);
}

TEST(LanguageTable, LabelsAreOrderedByUnsignedBytes)
{
    // Found only if the search uses the same byte order as the insertion.
    const auto table = tableOf("\xE9t\xE9 \"summer\"\nZed \"zed\"\nalpha \"a\"\n\"\" \"\"\n_x \"underscore\"\n");
    EXPECT_EQ(table.Resolve("\xE9t\xE9"), "summer");
    EXPECT_EQ(table.Resolve("Zed"), "zed");
    EXPECT_EQ(table.Resolve("alpha"), "a");
    EXPECT_EQ(table.Resolve("_x"), "underscore");
}

} // namespace
