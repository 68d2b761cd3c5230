#pragma once

#include <chrono>
#include <cstdint>
#include <thread>

namespace garrison::test {

// An address of its own in 127.0.0.0/8 (network order), so that tests
// running side by side can all use the game's fixed ports.
std::uint32_t uniqueLoopbackAddress();

template <typename Predicate>
bool eventually(Predicate predicate, std::chrono::milliseconds limit = std::chrono::seconds(5))
{
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!predicate()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

} // namespace garrison::test
