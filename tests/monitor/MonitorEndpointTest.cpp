#include "monitor/MonitorEndpoint.h"

#include "gameserver/GameServerPeer.h"
#include "support/Loopback.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace garrison;
using namespace garrison::peers;
using test::eventually;

namespace {

constexpr std::uint32_t kFastPolls = 100;

struct Monitor {
    StatusStore status;
    MonitorEndpoint endpoint{status, kFastPolls};

    Monitor()
    {
        EXPECT_TRUE(endpoint.create());
        endpoint.start();
    }
    void watch(std::uint32_t address, std::uint16_t port)
    {
        endpoint.postCommand(MonitorEndpoint::kSetTarget, address, port);
        endpoint.postCommand(MonitorEndpoint::kStartPolling);
    }
};

GameServerConfig serverAt(std::uint32_t address, std::uint16_t port)
{
    GameServerConfig config;
    config.address = address;
    config.gamePort = port;
    config.players = {{"Alice", "5", "1", 0, -1}, {"Bob", "2", "3", 0, -1}};
    return config;
}

std::vector<std::string> onPort(const std::vector<std::string> &queries, std::uint16_t port)
{
    std::vector<std::string> out;
    const std::string suffix = " " + std::to_string(port);
    for (const auto &query : queries) {
        if (query.ends_with(suffix))
            out.push_back(query.substr(0, query.size() - suffix.size()));
    }
    return out;
}

TEST(MonitorEndpoint, WithoutAPortFindsTheServerOnASecondDefaultPort)
{
    const auto address = test::uniqueLoopbackAddress();
    auto config = serverAt(address, 2234);
    config.answerSockets = false;
    config.answerDirectPlay = true;
    GameServerPeer server(config);
    ASSERT_TRUE(server.start());
    Monitor monitor;
    monitor.watch(address, 0);
    ASSERT_TRUE(eventually([&] {
        const auto s = monitor.status.snapshot();
        return s.infoAnswers > 0 && s.statusAnswers > 0;
    }));
    const auto record = monitor.status.snapshot();
    EXPECT_EQ(record.port, 2234u);
    EXPECT_EQ(record.implementation, Implementation::DirectPlay);
    EXPECT_EQ(record.description, "Garrison loopback server");
    EXPECT_EQ(record.players, 2u);
    EXPECT_EQ(record.gameName, "opflashr");
    EXPECT_EQ(record.maxPlayers, "32");
    EXPECT_EQ(record.playerList.size(), 2u);
    // The first polls probed with every info query; once the answer came only the DirectPlay query goes to 2234.
    const auto probes = onPort(server.receivedQueries(), 2234);
    ASSERT_TRUE(eventually([&] { return onPort(server.receivedQueries(), 2234).size() >= probes.size() + 3; }));
    const auto queries = onPort(server.receivedQueries(), 2234);
    EXPECT_EQ(std::vector<std::string>(queries.begin(), queries.begin() + 2),
              (std::vector<std::string>{"sockets", "dplay"}));
    const auto lastSockets = std::find(queries.rbegin(), queries.rend(), "sockets").base();
    EXPECT_GE(queries.end() - lastSockets, 3);
    EXPECT_TRUE(std::all_of(lastSockets, queries.end(), [](auto &q) { return q == "dplay"; }));
}

TEST(MonitorEndpoint, EachImplementationIsRecognisedAndFixesTheProbes)
{
    const struct {
        const char *answer;
        Implementation implementation;
    } cases[] = {
        {"sockets", Implementation::Sockets}, {"vbs", Implementation::Vbs1}, {"dplay", Implementation::DirectPlay}};
    for (const auto &c : cases) {
        const auto address = test::uniqueLoopbackAddress();
        auto config = serverAt(address, 2302);
        config.answerSockets = c.answer == std::string("sockets");
        config.answerVbs = c.answer == std::string("vbs");
        config.answerDirectPlay = c.answer == std::string("dplay");
        GameServerPeer server(config);
        ASSERT_TRUE(server.start());
        Monitor monitor;
        monitor.watch(address, 2302);
        ASSERT_TRUE(eventually([&] { return monitor.status.snapshot().implementation == c.implementation; }))
            << c.answer;
        // From then on each poll sends the matching query alone: three polls in
        // a row without any other probe. A poll that still probed would put
        // the other queries among the last three.
        const auto onlyTheAnswerLately = [&] {
            const auto queries = onPort(server.receivedQueries(), 2302);
            return queries.size() >= 3 && std::all_of(queries.end() - 3, queries.end(),
                                                      [&](const std::string &query) { return query == c.answer; });
        };
        ASSERT_TRUE(eventually(onlyTheAnswerLately)) << c.answer;
        // And it stays so: five more polls, none of them probing.
        const auto settled = onPort(server.receivedQueries(), 2302).size();
        ASSERT_TRUE(eventually([&] { return onPort(server.receivedQueries(), 2302).size() >= settled + 5; }));
        const auto queries = onPort(server.receivedQueries(), 2302);
        for (auto i = settled; i < queries.size(); ++i)
            EXPECT_EQ(queries[i], c.answer);
    }
}

TEST(MonitorEndpoint, FragmentsOutOfOrderStillMakeOneAnswer)
{
    const auto address = test::uniqueLoopbackAddress();
    auto config = serverAt(address, 2302);
    config.fragmentSize = 60;
    config.order = FragmentOrder::Reverse;
    GameServerPeer server(config);
    ASSERT_TRUE(server.start());
    ASSERT_GT(server.statusAnswer(1).size(), 4u);
    Monitor monitor;
    monitor.watch(address, 2302);
    ASSERT_TRUE(eventually([&] { return monitor.status.snapshot().statusAnswers > 0; }));
    const auto record = monitor.status.snapshot();
    EXPECT_EQ(record.map, "eden");
    EXPECT_EQ(record.platform, "linux");
    EXPECT_EQ(record.playerList, (std::vector<PlayerEntry>{{"Alice", "5", "1"}, {"Bob", "2", "3"}}));
}

TEST(MonitorEndpoint, AnAnswerWhoseFirstFragmentIsLostIsNeverShown)
{
    const auto address = test::uniqueLoopbackAddress();
    auto config = serverAt(address, 2302);
    config.fragmentSize = 60;
    config.dropFragments = {1};
    GameServerPeer server(config);
    ASSERT_TRUE(server.start());
    Monitor monitor;
    monitor.watch(address, 2302);
    // Two status queries answered (the first poll and the fourth) but never whole.
    ASSERT_TRUE(eventually([&] {
        const auto queries = server.receivedQueries();
        return std::count(queries.begin(), queries.end(), "status 2303") >= 2;
    }));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const auto record = monitor.status.snapshot();
    EXPECT_GT(record.infoAnswers, 0u);
    EXPECT_EQ(record.statusAnswers, 0u);
    EXPECT_TRUE(record.gameName.empty());
}

TEST(MonitorEndpoint, ALostMiddleFragmentStillShowsThePlayersThatArrived)
{
    const auto address = test::uniqueLoopbackAddress();
    auto config = serverAt(address, 2302);
    std::vector<PlayerEntry> everyone = {{"Alice", "5", "1"}, {"Bob", "2", "3"}};
    for (int i = 0; i < 12; ++i) {
        const std::string name = "Player" + std::to_string(i);
        config.players.push_back({name, std::to_string(i), "0", 0, -1});
        everyone.push_back({name, std::to_string(i), "0"});
    }
    config.fragmentSize = 400; // the server's keys, then the players over two more
    config.dropFragments = {2};
    GameServerPeer server(config);
    ASSERT_TRUE(server.start());
    const auto fragments = server.statusAnswer(1);
    ASSERT_EQ(fragments.size(), 3u);
    std::vector<PlayerEntry> arrived;
    for (const auto &player : everyone) {
        if (fragments[1].find("\\" + player.name + "\\") == std::string::npos)
            arrived.push_back(player);
    }
    ASSERT_GT(arrived.size(), 2u);
    ASSERT_LT(arrived.size(), everyone.size());

    Monitor monitor;
    monitor.watch(address, 2302);
    ASSERT_TRUE(eventually([&] { return monitor.status.snapshot().statusAnswers > 0; }));
    const auto record = monitor.status.snapshot();
    EXPECT_EQ(record.gameName, "opflashr");
    EXPECT_EQ(record.platform, "linux");
    EXPECT_EQ(record.playerList, arrived);
}

TEST(MonitorEndpoint, SteadyTrafficDoesNotHoldBackThePolls)
{
    const auto address = test::uniqueLoopbackAddress();
    GameServerPeer server(serverAt(address, 2302));
    ASSERT_TRUE(server.start());
    StatusStore status;
    MonitorEndpoint endpoint(status, 2000);
    ASSERT_TRUE(endpoint.create());
    ASSERT_TRUE(endpoint.start());
    endpoint.postCommand(MonitorEndpoint::kSetTarget, address, 2302);
    endpoint.postCommand(MonitorEndpoint::kStartPolling);
    ASSERT_TRUE(eventually([&] { return status.snapshot().infoAnswers > 0; }));

    // A peer that never pauses for 100 ms: a datagram every 20 ms for five seconds.
    const int chatty = socket(AF_INET, SOCK_DGRAM, 0);
    ASSERT_GE(chatty, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    to.sin_port = htons(endpoint.localPort());
    const auto countPolls = [&] {
        const auto queries = server.receivedQueries();
        return std::count(queries.begin(), queries.end(), "sockets 2302");
    };
    const auto pollsBefore = countPolls();
    const auto answersBefore = status.snapshot().infoAnswers;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < until) {
        sendto(chatty, "noise", 5, 0, reinterpret_cast<const sockaddr *>(&to), sizeof to);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    close(chatty);
    // Every two seconds: two or three polls in five seconds, each answered.
    EXPECT_GE(countPolls() - pollsBefore, 2);
    EXPECT_LE(countPolls() - pollsBefore, 3);
    EXPECT_GE(status.snapshot().infoAnswers - answersBefore, 2u);
}

TEST(MonitorEndpoint, PlayersLeaveAndJoinBetweenAnswers)
{
    const auto address = test::uniqueLoopbackAddress();
    auto config = serverAt(address, 2302);
    config.players = {{"Alice", "5", "1", 0, 1.0}, {"Bob", "2", "3", 0, -1}, {"Carl", "0", "0", 1.0, -1}};
    config.states = {{0, 13}, {1.0, 14}};
    GameServerPeer server(config);
    ASSERT_TRUE(server.start());
    Monitor monitor;
    monitor.watch(address, 2302);
    ASSERT_TRUE(eventually([&] { return monitor.status.snapshot().statusAnswers > 0; }));
    auto record = monitor.status.snapshot();
    if (record.gameState == 13) { // unless the first answer came very late
        EXPECT_EQ(record.playerList, (std::vector<PlayerEntry>{{"Alice", "5", "1"}, {"Bob", "2", "3"}}));
    }
    ASSERT_TRUE(eventually([&] {
        const auto s = monitor.status.snapshot();
        return s.playerList.size() == 2 && s.playerList[1].name == "Carl";
    }));
    record = monitor.status.snapshot();
    EXPECT_EQ(record.playerList, (std::vector<PlayerEntry>{{"Bob", "2", "3"}, {"Carl", "0", "0"}}));
    EXPECT_EQ(record.gameState, 14u);
}

TEST(MonitorEndpoint, UnknownCommandsDoNothingAndStopPollingStopsTheQueries)
{
    const auto address = test::uniqueLoopbackAddress();
    GameServerPeer server(serverAt(address, 2302));
    ASSERT_TRUE(server.start());
    Monitor monitor;
    monitor.endpoint.postCommand(MonitorEndpoint::kSetTarget, address, 2302);
    for (int type : {4, 6, 42, -1})
        monitor.endpoint.postCommand(type, address, 2302);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(server.receivedQueries().empty());
    EXPECT_TRUE(monitor.endpoint.isRunning());

    monitor.endpoint.postCommand(MonitorEndpoint::kStartPolling);
    ASSERT_TRUE(eventually([&] { return monitor.status.snapshot().infoAnswers > 0; }));
    monitor.endpoint.postCommand(MonitorEndpoint::kStopPolling);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    const auto count = server.receivedQueries().size();
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    EXPECT_EQ(server.receivedQueries().size(), count);
}

TEST(MonitorEndpoint, AnswersFromAnotherAddressAreIgnored)
{
    const auto serverAddress = test::uniqueLoopbackAddress();
    Monitor monitor;
    monitor.watch(serverAddress, 2302); // nobody listens there
    GameServerPeer impostor(serverAt(test::uniqueLoopbackAddress(), 2302));
    const auto answer = impostor.socketsAnswer(false);
    SocketEndpoint sender;
    ASSERT_TRUE(sender.create(0, test::uniqueLoopbackAddress()));
    for (int i = 0; i < 3; ++i)
        sender.sendTo(htonl(INADDR_LOOPBACK), monitor.endpoint.localPort(), answer.data(), answer.size());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(monitor.status.snapshot().infoAnswers, 0u);
    EXPECT_TRUE(monitor.status.snapshot().description.empty());
}

} // namespace
