#pragma once

#include <string_view>

namespace garrison {

// Texts of the game are 8-bit Windows-1252; names compare without regard to
// case there, letters with accents included.
unsigned char foldCase(unsigned char c);
// Only A-Z: for UTF-8 names read from disk, whose bytes above 127 are not letters.
unsigned char foldCaseAscii(unsigned char c);

int compareNoCase(std::string_view a, std::string_view b);
bool equalsNoCase(std::string_view a, std::string_view b);
bool equalsNoCaseAscii(std::string_view a, std::string_view b);
bool startsWithNoCase(std::string_view text, std::string_view prefix);
bool endsWithNoCase(std::string_view text, std::string_view suffix);

} // namespace garrison
