#pragma once

#include <string>
#include <string_view>

namespace garrison {

// "\n" becomes a line feed, a backslash before any other byte leaves that byte,
// a trailing backslash is dropped.
std::string unescapeLanguageText(std::string_view text);

} // namespace garrison
