#pragma once

#include <string>
#include <string_view>

namespace garrison {

// Drops the word separators of splitWords from both ends of a line.
std::string_view trimLanguageLine(std::string_view line);
// "\n" becomes a line feed, a backslash before any other byte leaves that byte,
// a trailing backslash is dropped.
std::string unescapeLanguageText(std::string_view text);

} // namespace garrison
