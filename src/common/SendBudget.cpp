#include "common/SendBudget.h"

#include <arpa/inet.h>

#include <algorithm>
#include <random>

namespace garrison {

namespace {

constexpr std::int64_t kMinuteMs = 60000;

} // namespace

SendBudget::SendBudget(std::uint64_t bytesPerMinute, int prefixBits, std::size_t slots)
    : m_full(static_cast<std::int64_t>(std::clamp<std::uint64_t>(bytesPerMinute, 1, 1ull << 40)) * kMinuteMs),
      m_mask(prefixBits >= 32 ? 0xFFFFFFFFu : ~(0xFFFFFFFFu >> std::clamp(prefixBits, 0, 31))),
      m_slots(std::max<std::size_t>(1, slots), Slot{m_full, 0})
{
    // Keyed, so that nobody can pick sources that fall in a victim's slot.
    std::random_device random;
    m_secret = std::uint64_t{random()} << 32 | random();
}

bool SendBudget::take(std::uint32_t address, std::size_t bytes, std::uint32_t now)
{
    std::uint64_t hash = ((ntohl(address) & m_mask) ^ m_secret) * 0x9E3779B97F4A7C15ull;
    hash ^= hash >> 31;
    Slot &slot = m_slots[hash % m_slots.size()];
    // A debt left by an answer larger than the budget is paid off too, so the refill is not capped at a minute.
    const std::int64_t elapsed = static_cast<std::uint32_t>(now - slot.lastRefill);
    const std::int64_t perMs = m_full / kMinuteMs;
    const std::int64_t untilFull = (m_full - slot.credit + perMs - 1) / perMs;
    slot.credit = elapsed >= untilFull ? m_full : slot.credit + elapsed * perMs;
    slot.lastRefill = now;
    const std::int64_t cost = static_cast<std::int64_t>(std::min<std::size_t>(bytes, 1ull << 40)) * kMinuteMs;
    if (slot.credit < std::min(cost, m_full))
        return false;
    slot.credit -= cost;
    return true;
}

} // namespace garrison
