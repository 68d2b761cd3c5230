#pragma once

#include <array>
#include <string_view>

namespace garrison {

namespace detail {

constexpr std::array<unsigned char, 256> makeFoldTable()
{
    std::array<unsigned char, 256> table{};
    for (int c = 0; c < 256; ++c) {
        int folded = c;
        if (c >= 'A' && c <= 'Z')
            folded = c + 32;
        // Windows-1252 capitals: S-caron, OE, Z-caron, Y-diaeresis and
        // 0xC0-0xDE but the multiplication sign.
        else if (c == 0x8A || c == 0x8C || c == 0x8E)
            folded = c + 0x10;
        else if (c == 0x9F)
            folded = 0xFF;
        else if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
            folded = c + 0x20;
        table[static_cast<std::size_t>(c)] = static_cast<unsigned char>(folded);
    }
    return table;
}

inline constexpr std::array<unsigned char, 256> kFoldTable = makeFoldTable();

} // namespace detail

// Texts of the game are 8-bit Windows-1252; names compare without regard to
// case there, letters with accents included. Inline: the scanner compares
// names of every file.
inline unsigned char foldCase(unsigned char c)
{
    return detail::kFoldTable[c];
}
// Only A-Z: for UTF-8 names read from disk, whose bytes above 127 are not letters.
inline unsigned char foldCaseAscii(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

int compareNoCase(std::string_view a, std::string_view b);
bool equalsNoCase(std::string_view a, std::string_view b);
bool equalsNoCaseAscii(std::string_view a, std::string_view b);
bool startsWithNoCase(std::string_view text, std::string_view prefix);
bool endsWithNoCase(std::string_view text, std::string_view suffix);

} // namespace garrison
