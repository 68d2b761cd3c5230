#include "common/TextCompare.h"

#include <algorithm>

namespace garrison {

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
