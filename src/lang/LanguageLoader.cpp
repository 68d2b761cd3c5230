#include "lang/LanguageLoader.h"

#include "lang/BuiltInEnglish.h"

#include <fstream>
#include <iterator>

namespace garrison {

std::string readLanguageFile(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return {};
    const std::string raw{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    std::string_view rest = raw;
    if (rest.starts_with("\xEF\xBB\xBF"))
        rest.remove_prefix(3);
    std::string text;
    text.reserve(rest.size());
    for (std::size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] == '\r' && i + 1 < rest.size() && rest[i + 1] == '\n')
            continue;
        text += rest[i];
    }
    return text;
}

LanguageTable loadLanguageTable(const std::string &languageFilePath)
{
    LanguageTable table;
    table.merge(readLanguageFile(languageFilePath));
    table.merge(builtInEnglishText());
    return table;
}

} // namespace garrison
