#include "lang/LanguageLine.h"

namespace garrison {

std::string unescapeLanguageText(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            result += text[i];
            continue;
        }
        if (++i == text.size())
            break;
        result += text[i] == 'n' ? '\n' : text[i];
    }
    return result;
}

} // namespace garrison
