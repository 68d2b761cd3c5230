#include "monitor/ServerSurvey.h"

#include "gameserver/GameServerPeer.h"
#include "support/Loopback.h"

#include <gtest/gtest.h>

#include <memory>

using namespace garrison;

namespace {

class ServerSurveyTest : public ::testing::Test {
protected:
    // A loopback game server; the master would list its query port.
    ListedServer serve(peers::GameServerConfig config)
    {
        config.address = address;
        games.push_back(std::make_unique<peers::GameServerPeer>(config));
        EXPECT_TRUE(games.back()->start());
        return {address, static_cast<std::uint16_t>(config.gamePort + 1)};
    }

    const std::uint32_t address = test::uniqueLoopbackAddress();
    std::vector<std::unique_ptr<peers::GameServerPeer>> games;
};

TEST_F(ServerSurveyTest, AnswersInManyFragmentsLostOnesAndSilentServers)
{
    peers::GameServerConfig reversed;
    reversed.gamePort = 2302;
    reversed.fragmentSize = 40; // a datagram a pair or two, sent last first
    reversed.order = peers::FragmentOrder::Reverse;
    reversed.players = {{"Ann", "1", "0", 0, -1}, {"Bob", "2", "0", 0, -1}};
    peers::GameServerConfig lossy = reversed;
    lossy.gamePort = 2312;
    lossy.order = peers::FragmentOrder::InOrder;
    lossy.dropFragments = {3};
    const std::vector<ListedServer> listed = {serve(reversed), serve(lossy), {address, 2323}};

    SurveyLimits limits;
    limits.wait = std::chrono::milliseconds(300);
    std::size_t lastDone = 0;
    const auto rows = surveyServers(listed, limits, [&](std::size_t done, std::size_t total) {
        EXPECT_EQ(done, lastDone + 1);
        EXPECT_EQ(total, 3u);
        lastDone = done;
    });
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(lastDone, 3u);
    EXPECT_EQ(rows[0].listed, listed[0]) << "in the list's order";
    EXPECT_TRUE(rows[0].answered);
    EXPECT_EQ(rows[0].maxPlayers, 32u) << "every fragment, whatever the order";
    EXPECT_EQ(rows[0].playerNames, (std::vector<std::string>{"Ann", "Bob"}));
    EXPECT_EQ(rows[0].name, "Garrison loopback server") << "from the info answer";
    EXPECT_EQ(rows[0].mission, "CTF Eden");
    EXPECT_TRUE(rows[1].answered) << "what came is kept";
    EXPECT_EQ(rows[1].players, 2u);
    EXPECT_FALSE(rows[2].answered);

    // Shuffled, the first and the last fragment often come before one in the middle: the row waits for it.
    peers::GameServerConfig shuffled = reversed;
    shuffled.gamePort = 2332;
    shuffled.order = peers::FragmentOrder::Shuffle;
    const std::vector<ListedServer> one = {serve(shuffled)};
    for (int run = 0; run < 20; ++run) {
        const auto again = surveyServers(one, limits);
        ASSERT_EQ(again[0].maxPlayers, 32u) << "run " << run;
        ASSERT_EQ(again[0].playerNames.size(), 2u) << "run " << run;
    }
}

TEST_F(ServerSurveyTest, TheRateCapHoldsAndACancelEndsAtOnce)
{
    std::vector<ListedServer> listed;
    for (std::uint16_t i = 0; i < 10; ++i) {
        peers::GameServerConfig config;
        config.gamePort = static_cast<std::uint16_t>(2402 + 2 * i);
        listed.push_back(serve(config));
    }
    SurveyLimits limits;
    limits.packetsPerSecond = 20; // two a server: ten servers take a second at least
    const auto start = std::chrono::steady_clock::now();
    const auto rows = surveyServers(listed, limits);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(850));
    EXPECT_EQ(std::count_if(rows.begin(), rows.end(), [](const SurveyedServer &r) { return r.answered; }), 10);

    const std::atomic<bool> cancel{true};
    limits.cancel = &cancel;
    const auto cancelled = surveyServers(listed, limits);
    ASSERT_EQ(cancelled.size(), 10u);
    EXPECT_FALSE(cancelled[9].answered);
}

} // namespace
