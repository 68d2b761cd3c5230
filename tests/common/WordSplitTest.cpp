#include "common/WordSplit.h"
#include "common/WindowsArguments.h"

#include <gtest/gtest.h>

using namespace garrison;
using Words = std::vector<std::string>;

namespace {

TEST(WordSplit, Cases)
{
    const struct {
        const char *text;
        Words words;
    } cases[] = {
        {"", {}},
        {"   ", {}},
        {"-nomap -mod=abc;def", {"-nomap", "-mod=abc;def"}},
        {"a\tb\nc\rd\ve\ff\bg", {"a", "b", "c", "d", "e", "f", "g"}},
        {"a\x07"
         "b",
         {"a\x07"
          "b"}}, // 7 is not a separator
        {"\"two words\" three", {"two words", "three"}},
        {"-name=\"John Smith\" -x", {"-name=", "John Smith", "-x"}},
        {"\"\" a \"\"", {"a"}}, // empty quoted words dropped
        {"a \"unclosed words", {"a", "unclosed words"}},
        {"x\"y\"z", {"x", "y", "z"}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(splitWords(c.text), c.words) << '[' << c.text << ']';
}

// The game's runtime reads its command line by these rules; what we quote comes back whole.
TEST(WindowsArguments, SplitAsTheRuntimeDoesAndQuoteToComeBackWhole)
{
    const struct {
        const char *line;
        std::vector<std::string> arguments;
    } cases[] = {
        {"-nosplash  -mod=a;b", {"-nosplash", "-mod=a;b"}},
        {"-name=\"John Smith\" x", {"-name=John Smith", "x"}},
        {"\"a \\\"b\\\" c\"", {"a \"b\" c"}},
        {"C:\\Games\\ \"C:\\My Games\\\\\"", {"C:\\Games\\", "C:\\My Games\\"}},
        {"\"\" \"say \"\"hi\"\"\"", {"", "say \"hi\""}},
        {"  ", {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(splitWindowsArguments(c.line), c.arguments) << c.line;
    for (const std::string argument : {"-password=p w\"x", "", "a\\", "a\\\"b", "tab\there", "plain"}) {
        const std::string line = "-nosplash " + quoteWindowsArgument(argument) + " -nomap";
        EXPECT_EQ(splitWindowsArguments(line), (std::vector<std::string>{"-nosplash", argument, "-nomap"})) << line;
    }
    EXPECT_EQ(quoteWindowsArgument("-mod=a;b"), "-mod=a;b");
}

} // namespace
