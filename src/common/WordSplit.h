#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace garrison {

// Space, and the control characters 8 to 13 (backspace, tab, line feed,
// vertical tab, form feed, carriage return).
bool isWordSeparator(char c);
// The text without word separators at either end.
std::string_view trimWordSeparators(std::string_view text);

// Splits a command line or a language-file line into words: a word ends at a space or a control
// character 8 to 13; a double quote starts a quoted word that runs to the next
// double quote (spaces included, quotes dropped), also in the middle of an
// unquoted word; empty words are dropped.
std::vector<std::string> splitWords(std::string_view text);

} // namespace garrison
