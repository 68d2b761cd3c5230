#include "common/MinuteTally.h"

#include <algorithm>

namespace garrison {

void MinuteTally::count(const std::string &what, std::uint64_t times)
{
    const auto known =
        std::find_if(m_counts.begin(), m_counts.end(), [&](const auto &entry) { return entry.first == what; });
    if (known != m_counts.end())
        known->second += times;
    else
        m_counts.emplace_back(what, times);
}

bool MinuteTally::mayLog()
{
    if (m_detail < kDetailLines) {
        ++m_detail;
        return true;
    }
    count("lines not logged");
    return false;
}

std::optional<std::string> MinuteTally::due(std::uint32_t now)
{
    if (now - m_start < kPeriodMs)
        return std::nullopt;
    m_start = now;
    m_detail = 0;
    if (m_counts.empty())
        return std::nullopt;
    std::string line = "last minute:";
    for (const auto &[what, times] : m_counts)
        line += " " + std::to_string(times) + " " + what + ",";
    line.pop_back();
    m_counts.clear();
    return line;
}

} // namespace garrison
