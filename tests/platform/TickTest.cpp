#include "platform/Tick.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace garrison;

TEST(Tick, AdvancesInMilliseconds)
{
    const std::uint32_t before = tickCount();
    std::this_thread::sleep_for(std::chrono::milliseconds(120));
    const std::uint32_t elapsed = tickCount() - before;
    EXPECT_GE(elapsed, 120u);
    EXPECT_LT(elapsed, 1000u);
}
