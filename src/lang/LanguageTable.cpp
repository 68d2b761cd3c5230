#include "lang/LanguageTable.h"

#include "common/WordSplit.h"
#include "lang/LanguageLine.h"

#include <algorithm>

namespace garrison {

namespace {

constexpr int kMaxDepth = 4;
constexpr std::string_view kLabelPrefix = "DSTR_";

} // namespace

void LanguageTable::merge(std::string_view sourceText)
{
    while (!sourceText.empty()) {
        const std::size_t feed = sourceText.find('\n');
        const std::size_t length = feed == std::string_view::npos ? sourceText.size() : feed + 1;
        mergeLine(sourceText.substr(0, length));
        sourceText.remove_prefix(length);
    }
}

void LanguageTable::mergeLine(std::string_view line)
{
    line = trimWordSeparators(line);
    if (line.empty())
        return;
    auto tokens = splitWords(line);
    if (tokens.empty())
        tokens.emplace_back();
    if (tokens[0].starts_with("//"))
        return;
    const auto place = std::lower_bound(m_labels.begin(), m_labels.end(), tokens[0]);
    if (place != m_labels.end() && *place == tokens[0])
        return;
    const auto index = place - m_labels.begin();
    m_texts.insert(m_texts.begin() + index, tokens.size() > 1 ? unescapeLanguageText(tokens[1]) : std::string());
    m_labels.insert(place, std::move(tokens[0]));
}

std::string LanguageTable::Resolve(std::string_view text) const
{
    return resolveAt(text, 0);
}

std::string LanguageTable::resolveAt(std::string_view text, int depth) const
{
    if (depth == kMaxDepth)
        return "RECURSE ERROR";
    if (text.empty())
        return {};
    const auto place = std::lower_bound(m_labels.begin(), m_labels.end(), text);
    if (place == m_labels.end() || *place != text)
        return std::string(text);
    const std::string &stored = m_texts[place - m_labels.begin()];
    if (stored.starts_with(kLabelPrefix))
        return resolveAt(stored, depth + 1);
    return stored;
}

} // namespace garrison
