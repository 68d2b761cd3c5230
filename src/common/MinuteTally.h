#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace garrison {

// What a daemon counts instead of logging line by line: a flood of garbage
// must not drown its log. The counts are told in one line a minute.
class MinuteTally {
public:
    static constexpr std::uint32_t kPeriodMs = 60000;
    // Lines of detail a minute; what comes after them is only counted.
    static constexpr int kDetailLines = 20;

    explicit MinuteTally(std::uint32_t now) : m_start(now) {}

    void count(const std::string &what, std::uint64_t times = 1);
    // True while the detail lines of this minute last; counts the rest as "lines not logged".
    bool mayLog();
    // The line due once a minute when anything was counted: "last minute: 3 a, 1 b".
    std::optional<std::string> due(std::uint32_t now);

private:
    std::uint32_t m_start;
    int m_detail = 0;
    std::vector<std::pair<std::string, std::uint64_t>> m_counts;
};

} // namespace garrison
