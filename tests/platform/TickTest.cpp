#include "platform/Tick.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace garrison;

TEST(Tick, AdvancesInMilliseconds)
{
    const auto start = std::chrono::steady_clock::now();
    const std::uint32_t before = tickCount();
    std::this_thread::sleep_for(std::chrono::milliseconds(120));
    const std::uint32_t elapsed = tickCount() - before;
    const auto passed =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    // A loaded machine may sleep longer, but the tick never runs ahead of the real clock.
    EXPECT_GE(elapsed, 120u);
    EXPECT_LE(elapsed, static_cast<std::uint32_t>(passed) + 1);
}
