#include "common/WordSplit.h"

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

} // namespace
