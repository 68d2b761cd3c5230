#include "common/TextCompare.h"

#include <algorithm>

namespace garrison {

unsigned char foldCaseAscii(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

unsigned char foldCase(unsigned char c)
{
    // Windows-1252 capitals: S-caron, OE, Z-caron, Y-diaeresis and 0xC0-0xDE
    // but the multiplication sign.
    switch (c) {
    case 0x8A:
    case 0x8C:
    case 0x8E:
        return static_cast<unsigned char>(c + 0x10);
    case 0x9F:
        return 0xFF;
    default:
        break;
    }
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return static_cast<unsigned char>(c + 0x20);
    return foldCaseAscii(c);
}

int compareNoCase(std::string_view a, std::string_view b)
{
    const auto count = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < count; ++i) {
        const int x = foldCase(static_cast<unsigned char>(a[i]));
        const int y = foldCase(static_cast<unsigned char>(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool equalsNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && compareNoCase(a, b) == 0;
}

bool equalsNoCaseAscii(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return foldCaseAscii(static_cast<unsigned char>(x)) == foldCaseAscii(static_cast<unsigned char>(y));
    });
}

bool startsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && equalsNoCase(text.substr(0, prefix.size()), prefix);
}

bool endsWithNoCase(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() && equalsNoCase(text.substr(text.size() - suffix.size()), suffix);
}

} // namespace garrison
