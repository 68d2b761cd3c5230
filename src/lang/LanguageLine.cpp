#include "lang/LanguageLine.h"

#include "common/WordSplit.h"

namespace garrison {

std::string_view trimLanguageLine(std::string_view line)
{
    while (!line.empty() && isWordSeparator(line.back()))
        line.remove_suffix(1);
    while (!line.empty() && isWordSeparator(line.front()))
        line.remove_prefix(1);
    return line;
}

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
