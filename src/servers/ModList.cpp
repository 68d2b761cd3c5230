#include "servers/ModList.h"

#include <algorithm>

namespace garrison {

std::string trimBlanks(const std::string &text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::vector<std::string> splitModList(const std::string &mods)
{
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (start <= mods.size()) {
        const auto end = std::min(mods.find(';', start), mods.size());
        auto piece = trimBlanks(mods.substr(start, end - start));
        if (!piece.empty())
            pieces.push_back(std::move(piece));
        start = end + 1;
    }
    return pieces;
}

std::string joinModList(const std::vector<std::string> &mods)
{
    std::string text;
    for (const auto &mod : mods) {
        if (!text.empty())
            text += ';';
        text += mod;
    }
    return text;
}

} // namespace garrison
