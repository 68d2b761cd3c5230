#include "platform/ThreadPriority.h"

#include <gtest/gtest.h>

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
    EXPECT_GT(workerAfter, mainBefore);
    EXPECT_EQ(getpriority(PRIO_PROCESS, static_cast<id_t>(gettid())), mainBefore);
}
