#include "monitor/WorkerThread.h"

#include <gtest/gtest.h>

#include <future>

using namespace garrison;
using namespace std::chrono_literals;

namespace {

// A worker whose body takes commands with the blocking take until told to end.
class TakingWorker final : public WorkerThread {
public:
    ~TakingWorker() override { stop(); }
    std::vector<Command> taken;
    int runs = 0;

protected:
    void run() override
    {
        ++runs;
        for (;;) {
            const Command command = takeCommand();
            if (command.type == kStopCommand)
                return;
            taken.push_back(command);
        }
    }
};

TEST(WorkerThread, QueueIsFirstInFirstOutAndTryTakeSaysWhenEmpty)
{
    TakingWorker worker; // never started: the queue works without the thread
    EXPECT_FALSE(worker.tryTakeCommand());
    worker.postCommand(1, 10, 11);
    worker.postCommand(2, 20, 21);
    const auto first = worker.tryTakeCommand();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->type, 1);
    EXPECT_EQ(first->first, 10u);
    EXPECT_EQ(first->second, 11);
    EXPECT_EQ(worker.tryTakeCommand()->type, 2);
    EXPECT_FALSE(worker.tryTakeCommand());
}

TEST(WorkerThread, BlockingTakeWaitsForCommandsPostedFromOtherThreads)
{
    TakingWorker worker;
    ASSERT_TRUE(worker.start());
    EXPECT_FALSE(worker.waitForEnd(50ms));
    auto poster = std::async(std::launch::async, [&] {
        for (int i = 0; i < 200; ++i)
            worker.postCommand(1000 + i);
    });
    poster.get();
    worker.postCommand(kStopCommand);
    ASSERT_TRUE(worker.waitForEnd(2s));
    ASSERT_EQ(worker.taken.size(), 200u);
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(worker.taken[static_cast<std::size_t>(i)].type, 1000 + i);
}

TEST(WorkerThread, StartTwiceMakesNoSecondThreadButAnEndedOneMayRestart)
{
    TakingWorker worker;
    ASSERT_TRUE(worker.start());
    EXPECT_FALSE(worker.start());
    worker.postCommand(kStopCommand);
    ASSERT_TRUE(worker.waitForEnd(2s));
    EXPECT_EQ(worker.runs, 1);
    EXPECT_FALSE(worker.isRunning());
    EXPECT_TRUE(worker.start());
    worker.stop();
    EXPECT_EQ(worker.runs, 2);
}

} // namespace
