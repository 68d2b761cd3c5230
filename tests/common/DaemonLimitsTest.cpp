#include "common/LogLine.h"
#include "common/MinuteTally.h"
#include "common/SendBudget.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>

using namespace garrison;

namespace {

std::uint32_t ip(const char *dotted)
{
    in_addr address{};
    inet_pton(AF_INET, dotted, &address);
    return address.s_addr;
}

TEST(SendBudget, EachAddressHasItsOwnBudgetRefilledOverAMinute)
{
    SendBudget budget(6000, 32);
    const std::uint32_t start = 0xFFFFF000; // the tick wraps on the way
    EXPECT_TRUE(budget.take(ip("10.0.0.1"), 4000, start));
    EXPECT_TRUE(budget.take(ip("10.0.0.1"), 2000, start));
    EXPECT_FALSE(budget.take(ip("10.0.0.1"), 1, start));
    EXPECT_TRUE(budget.take(ip("10.0.0.2"), 6000, start)) << "another address";
    // 100 bytes a second come back; a flood at any rate gets no more.
    for (std::uint32_t ms = 1; ms < 1000; ++ms)
        EXPECT_FALSE(budget.take(ip("10.0.0.1"), 100, start + ms)) << ms;
    EXPECT_TRUE(budget.take(ip("10.0.0.1"), 100, start + 1000));
    EXPECT_FALSE(budget.take(ip("10.0.0.1"), 100, start + 1500));
    // After a quiet minute the budget is whole again, never more.
    EXPECT_TRUE(budget.take(ip("10.0.0.1"), 6000, start + 3'600'000));
    EXPECT_FALSE(budget.take(ip("10.0.0.1"), 1, start + 3'600'000));
}

TEST(SendBudget, AnAnswerLargerThanTheBudgetGoesOutOnlyWhenItIsWhole)
{
    SendBudget budget(1000, 32);
    EXPECT_TRUE(budget.take(ip("10.0.0.1"), 5000, 0));
    // It left a debt: the next minute gives nothing, four more pay it off.
    EXPECT_FALSE(budget.take(ip("10.0.0.1"), 1, 60'000));
    EXPECT_FALSE(budget.take(ip("10.0.0.1"), 5000, 240'000));
    EXPECT_TRUE(budget.take(ip("10.0.0.1"), 5000, 300'000));
}

TEST(SendBudget, ANetworkBudgetIsSharedByItsAddresses)
{
    SendBudget budget(1000, 24);
    EXPECT_TRUE(budget.take(ip("192.168.7.1"), 600, 0));
    EXPECT_FALSE(budget.take(ip("192.168.7.200"), 600, 0));
    EXPECT_TRUE(budget.take(ip("192.168.7.200"), 400, 0));
    EXPECT_TRUE(budget.take(ip("192.168.8.1"), 1000, 0));
}

TEST(MinuteTally, CountsWhatIsNotLoggedAndTellsItOnceAMinute)
{
    MinuteTally tally(100);
    tally.count("unknown datagrams");
    tally.count("bytes withheld", 1400);
    tally.count("unknown datagrams", 2);
    int logged = 0;
    for (int i = 0; i < 25; ++i)
        logged += tally.mayLog() ? 1 : 0;
    EXPECT_EQ(logged, MinuteTally::kDetailLines);
    EXPECT_EQ(tally.due(100 + 59'999), std::nullopt);
    EXPECT_EQ(tally.due(100 + 60'000), "last minute: 3 unknown datagrams, 1400 bytes withheld, 5 lines not logged");
    // A new minute: the detail lines again, and nothing to tell while nothing was counted.
    EXPECT_TRUE(tally.mayLog());
    EXPECT_EQ(tally.due(100 + 120'000), std::nullopt);
}

TEST(LogLine, NoTextForgesALineOrColoursTheTerminal)
{
    EXPECT_EQ(loggable("evil.zip\n2026-12-11 12:00:00 serving 0 packages"),
              "evil.zip\\x0a2026-12-11 12:00:00 serving 0 packages");
    EXPECT_EQ(loggable("\x1b[31mred\r\x7f\t"), "\\x1b[31mred\\x0d\\x7f\\x09");
    EXPECT_EQ(loggable("Caf\xe9"), "Caf\xc3\xa9") << "the game's code page shown as UTF-8";
}

} // namespace
