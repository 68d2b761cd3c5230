#include "autoaddon/TransferRateMeter.h"

#include <algorithm>
#include <cstdio>

namespace garrison {

namespace {

constexpr std::uint32_t kNoEstimateFrom = 360000; // 100 hours
constexpr double kTicksPerSecond = 10'000'000.0;

} // namespace

void TransferRateMeter::reset(std::uint64_t total)
{
    m_total = total;
    m_start.reset();
    m_samples.clear();
}

std::uint64_t TransferRateMeter::rate() const
{
    if (m_samples.size() < 2 || m_samples.back().time == m_samples.front().time)
        return 0;
    const double seconds = static_cast<double>(m_samples.back().time - m_samples.front().time) / kTicksPerSecond;
    return static_cast<std::uint64_t>(static_cast<double>(m_samples.back().done - m_samples.front().done) / seconds);
}

void TransferRateMeter::sample(std::uint64_t done, FileTime now)
{
    if (!m_start)
        m_start = now;
    while (!m_samples.empty() && now - m_samples.front().time > m_window)
        m_samples.pop_front();
    m_samples.push_back({now, done, std::nullopt});
    const std::uint64_t bytesPerSecond = rate();
    if (bytesPerSecond != 0 && m_total >= done)
        m_samples.back().estimate = static_cast<std::uint32_t>((m_total - done) / bytesPerSecond);
}

std::string TransferRateMeter::speedText() const
{
    const auto hundredths = static_cast<std::uint32_t>(static_cast<std::uint32_t>(rate()) * 100u / 1024u);
    std::string digits = std::to_string(hundredths);
    while (digits.size() < 3)
        digits.insert(0, "0");
    return digits.substr(0, digits.size() - 2) + "." + digits.substr(digits.size() - 2);
}

std::uint32_t TransferRateMeter::elapsedSeconds() const
{
    if (m_samples.empty() || !m_start)
        return 0;
    return static_cast<std::uint32_t>((m_samples.back().time - *m_start) / 10'000'000);
}

std::optional<std::uint32_t> TransferRateMeter::secondsLeft() const
{
    std::optional<std::uint32_t> least;
    for (const auto &sample : m_samples) {
        if (!sample.estimate)
            continue;
        const auto since = static_cast<std::uint32_t>((m_samples.back().time - sample.time) / 10'000'000);
        const std::uint32_t left = *sample.estimate - since;
        least = least ? std::min(*least, left) : left;
    }
    if (least && *least >= kNoEstimateFrom)
        return std::nullopt;
    return least;
}

std::string clockText(std::uint32_t seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u", seconds / 3600, seconds / 60 % 60, seconds % 60);
    return text;
}

} // namespace garrison
