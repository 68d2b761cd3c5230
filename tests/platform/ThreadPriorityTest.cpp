#include "platform/ThreadPriority.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

using namespace garrison;

TEST(ThreadPriority, LowersOnlyTheCallingThread)
{
    const int mainBefore = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
    int workerAfter = -100;
    bool lowered = false;
    std::thread worker([&] {
        lowered = lowerCurrentThreadPriority();
        workerAfter = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
    });
    worker.join();
    EXPECT_TRUE(lowered);
    // Nice 10, or where the suite already runs when that is lower still.
    EXPECT_EQ(workerAfter, std::max(mainBefore, 10));
    EXPECT_EQ(getpriority(PRIO_PROCESS, static_cast<id_t>(gettid())), mainBefore);
}
