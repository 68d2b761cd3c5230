#include "monitor/GameSpyFragments.h"

#include <cstring>

namespace garrison {

namespace {

constexpr std::string_view kQueryIdKey = "queryid";
constexpr std::string_view kAnswerStart = "\\gamename\\";
constexpr std::string_view kFinalMark = "final\\\\";

std::size_t leadingNumber(std::string_view text)
{
    std::size_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9' || value > GameSpyFragments::kMaxFragmentNumber)
            break;
        value = value * 10 + static_cast<std::size_t>(c - '0');
    }
    return value;
}

} // namespace

std::optional<std::string> GameSpyFragments::add(std::string_view datagram)
{
    // As a C text the datagram ends at its first NUL.
    const std::string_view text(datagram.data(), strnlen(datagram.data(), datagram.size()));
    const auto slash = text.rfind('\\');
    if (slash == std::string_view::npos || slash < kQueryIdKey.size() ||
        text.substr(slash - kQueryIdKey.size(), kQueryIdKey.size()) != kQueryIdKey)
        return std::nullopt;
    const std::string_view value = text.substr(slash + 1);
    const auto dot = value.rfind('.');
    if (dot == std::string_view::npos)
        return std::nullopt;
    const std::string_view id = value.substr(0, dot);
    const std::size_t number = leadingNumber(value.substr(dot + 1));
    if (number > kMaxFragmentNumber)
        return std::nullopt;

    if (id != m_queryId) {
        m_fragments.clear();
        m_queryId = id;
    }
    if (m_fragments.size() <= number)
        m_fragments.resize(number + 1);
    m_fragments[number] = text;

    // Numbering starts at 1. A lost fragment counts as empty once the answer
    // has its start and its end, so one lost datagram does not hide the rest
    // until the next query; the table is kept while it has a gap, so that a
    // late fragment still completes the answer.
    std::string answer;
    bool gap = false;
    for (std::size_t i = 0; i < m_fragments.size(); ++i) {
        gap = gap || (i > 0 && m_fragments[i].empty());
        answer += m_fragments[i];
    }
    if (!answer.starts_with(kAnswerStart) || answer.find(kFinalMark) == std::string::npos)
        return std::nullopt;
    m_gap = gap;
    if (!gap)
        m_fragments.clear();
    return answer;
}

} // namespace garrison
