#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace garrison {

// One code point in UTF-8.
void appendUtf8(std::string &out, std::uint32_t point);
// Texts from servers and game files are Windows-1252; what we print is UTF-8.
std::string windows1252ToUtf8(std::string_view text);
// What the user typed (UTF-8) in the game's code page; characters it cannot
// hold become '?'. Bytes that are no UTF-8 are taken as they are.
std::string utf8ToWindows1252(std::string_view text);
// A UTF-16 code unit in the game's code page; '?' when it has no place there.
char windows1252FromUtf16(std::uint16_t unit);

} // namespace garrison
