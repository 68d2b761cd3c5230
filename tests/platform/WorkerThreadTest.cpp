#include "platform/WorkerThread.h"

#include <gtest/gtest.h>

#include <future>
#include <string>
#include <variant>

using namespace garrison;
using namespace std::chrono_literals;

namespace {

struct Count {
    int number = 0;
};
struct Say {
    std::string text;
};
using Job = std::variant<Count, Say>;

// A worker whose body takes messages with the blocking take until told to end.
class TakingWorker final : public WorkerThread<Job> {
public:
    ~TakingWorker() override { stop(); }
    std::vector<Job> taken;
    int runs = 0;

protected:
    void run() override
    {
        ++runs;
        while (auto job = take())
            taken.push_back(std::move(*job));
    }
};

TEST(WorkerThread, QueueIsFirstInFirstOutAndTryTakeSaysWhenEmpty)
{
    TakingWorker worker; // never started: the queue works without the thread
    EXPECT_FALSE(worker.tryTake());
    worker.post(Count{10});
    worker.post(Say{"twenty"});
    const auto first = worker.tryTake();
    ASSERT_TRUE(first);
    EXPECT_EQ(std::get<Count>(*first).number, 10);
    EXPECT_EQ(std::get<Say>(*worker.tryTake()).text, "twenty");
    EXPECT_FALSE(worker.tryTake());
}

TEST(WorkerThread, BlockingTakeWaitsForMessagesPostedFromOtherThreads)
{
    TakingWorker worker;
    ASSERT_TRUE(worker.start());
    EXPECT_FALSE(worker.waitForEnd(50ms));
    auto poster = std::async(std::launch::async, [&] {
        for (int i = 0; i < 200; ++i)
            worker.post(Count{1000 + i});
    });
    poster.get();
    worker.stop();
    ASSERT_EQ(worker.taken.size(), 200u) << "what was posted before the stop is taken";
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(std::get<Count>(worker.taken[static_cast<std::size_t>(i)]).number, 1000 + i);
}

TEST(WorkerThread, StartTwiceMakesNoSecondThreadButAnEndedOneMayRestart)
{
    TakingWorker worker;
    ASSERT_TRUE(worker.start());
    EXPECT_FALSE(worker.start());
    worker.stop();
    EXPECT_TRUE(worker.waitForEnd(2s));
    EXPECT_EQ(worker.runs, 1);
    EXPECT_FALSE(worker.isRunning());
    EXPECT_TRUE(worker.start());
    worker.stop();
    EXPECT_EQ(worker.runs, 2);
}

} // namespace
