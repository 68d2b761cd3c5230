#pragma once

#include <cstdint>
#include <vector>

namespace garrison {

// How many bytes a daemon may send to one source address (or one network
// of them) per minute, as DNS servers limit their responses: a spoofed
// flood of small requests then reaches its victim at no more than the
// budget. The table is fixed in size, so a flood of random sources costs
// no memory; two sources that fall in one slot share its budget.
class SendBudget {
public:
    // prefixBits: 32 budgets each address, 24 each /24 network.
    SendBudget(std::uint64_t bytesPerMinute, int prefixBits, std::size_t slots = 16384);

    // True, and the bytes charged, when an answer of this size may go to
    // address (network order) at tick now. An answer larger than the whole
    // budget goes out when the budget is full, so that it is never starved.
    bool take(std::uint32_t address, std::size_t bytes, std::uint32_t now);

private:
    // In bytes x milliseconds of a minute, so that a refill of a fraction of a byte is not lost.
    struct Slot {
        std::int64_t credit = 0;
        std::uint32_t lastRefill = 0;
    };

    std::int64_t m_full;
    std::uint32_t m_mask;
    std::uint64_t m_secret;
    std::vector<Slot> m_slots;
};

} // namespace garrison
