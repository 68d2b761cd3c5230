#pragma once

#include <cstdint>

namespace garrison {

// Milliseconds of a steady clock in 32 bits. It wraps after 49.7 days, so
// callers compare ticks only by unsigned difference.
std::uint32_t tickCount();

} // namespace garrison
