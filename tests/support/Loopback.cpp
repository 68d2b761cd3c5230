#include "support/Loopback.h"

#include <atomic>
#include <unistd.h>

namespace garrison::test {

std::uint32_t uniqueLoopbackAddress()
{
    static std::atomic<std::uint32_t> counter{0};
    const auto n = static_cast<std::uint32_t>(getpid()) * 8 + counter++;
    const std::uint32_t b = 1 + (n % 250);
    const std::uint32_t c = 1 + ((n / 250) % 250);
    // 127.b.c.9, written in network order.
    return 127u | (b << 8) | (c << 16) | (9u << 24);
}

} // namespace garrison::test
