#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace garrison {

// The code page of texts from servers and game files: Windows-1252 unless
// the player chose another (a Cyrillic or Central European game, say).
// Chosen at start-up; an unknown name leaves the code page as it was.
bool selectGameCodePage(const std::string &name);
std::string gameCodePage();
std::string gameTextToUtf8(std::string_view text);
// Characters the code page cannot hold become '?'.
std::string utf8ToGameText(std::string_view text);
// The text in the code page, or nothing when a character does not fit:
// unfit then holds the first such character (as UTF-8). For what must not
// change on the way, such as a password.
std::optional<std::string> utf8ToGameTextExactly(std::string_view text, std::string &unfit);

} // namespace garrison
