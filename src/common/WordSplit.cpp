#include "common/WordSplit.h"

namespace garrison {

bool isWordSeparator(char c)
{
    return c == ' ' || (c >= 8 && c <= 13);
}

std::string_view trimWordSeparators(std::string_view text)
{
    while (!text.empty() && isWordSeparator(text.back()))
        text.remove_suffix(1);
    while (!text.empty() && isWordSeparator(text.front()))
        text.remove_prefix(1);
    return text;
}

std::vector<std::string> splitWords(std::string_view text)
{
    std::vector<std::string> words;
    std::string word;
    const auto finish = [&] {
        if (!word.empty())
            words.push_back(std::move(word));
        word.clear();
    };
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '"') {
            finish();
            const auto close = text.find('"', i + 1);
            const auto end = close == std::string_view::npos ? text.size() : close;
            word.assign(text.substr(i + 1, end - i - 1));
            finish();
            i = close == std::string_view::npos ? text.size() : close + 1;
        } else if (isWordSeparator(c)) {
            finish();
            ++i;
        } else {
            word += c;
            ++i;
        }
    }
    finish();
    return words;
}

} // namespace garrison
