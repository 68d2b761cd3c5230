#include "monitor/MonitorEndpoint.h"

#include "gameserver/GameServerPeer.h"
#include "support/Loopback.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <netinet/in.h>
#include <optional>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
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
        endpoint.post(SetTarget{address, port});
        endpoint.post(StartPolling{});
    }
};

// A plain UDP socket of the test. The monitor handles its commands and its
// datagrams in order on one thread, and loopback delivers at once, so a news
// request reaching the witness proves every datagram the monitor sent before
// it is here already, and a news answer showing in the store proves every
// datagram sent to the monitor before it was read.
class Witness {
public:
    Witness(std::uint32_t address, std::uint16_t port) : m_address(address), m_port(port)
    {
        m_socket = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in at{};
        at.sin_family = AF_INET;
        at.sin_addr.s_addr = address;
        at.sin_port = htons(port);
        m_bound = m_socket >= 0 && bind(m_socket, reinterpret_cast<const sockaddr *>(&at), sizeof at) == 0;
    }
    ~Witness()
    {
        if (m_socket >= 0)
            close(m_socket);
    }
    bool bound() const { return m_bound; }
    std::uint32_t address() const { return m_address; }
    std::uint16_t port() const { return m_port; }

    std::optional<std::vector<std::uint8_t>> receive(std::chrono::milliseconds limit)
    {
        pollfd wait{m_socket, POLLIN, 0};
        if (poll(&wait, 1, static_cast<int>(limit.count())) != 1)
            return std::nullopt;
        std::vector<std::uint8_t> bytes(2048);
        const auto got = recv(m_socket, bytes.data(), bytes.size(), 0);
        if (got < 0)
            return std::nullopt;
        bytes.resize(static_cast<std::size_t>(got));
        return bytes;
    }
    void sendTo(std::uint16_t port, std::span<const std::uint8_t> bytes)
    {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        to.sin_port = htons(port);
        sendto(m_socket, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr *>(&to), sizeof to);
    }

    // Asks the monitor for news here and returns what it sent up to and
    // including that request (nullopt when the request never came).
    std::optional<std::vector<std::vector<std::uint8_t>>> sentUpToNewsRequest(MonitorEndpoint &endpoint)
    {
        endpoint.post(NewsRequest{m_address, m_port});
        std::vector<std::vector<std::uint8_t>> sent;
        while (auto bytes = receive(std::chrono::seconds(10))) {
            sent.push_back(*bytes);
            if (isNewsRequest(*bytes))
                return sent;
        }
        return std::nullopt;
    }
    // Answers the news request just taken and waits until the monitor has read
    // the answer, and with it everything sent to it before.
    bool monitorHasReadAllBefore(MonitorEndpoint &endpoint, StatusStore &status,
                                 const std::vector<std::uint8_t> &newsRequest)
    {
        const auto before = newsAnswers(status);
        // session id, two unread bytes, picture URL, text, link
        const std::vector<std::uint8_t> answer{newsRequest[2], newsRequest[3], 0, 0, 0, 'm', 0, 0};
        sendTo(endpoint.localPort(), answer);
        return eventually([&] { return newsAnswers(status) > before; }, std::chrono::seconds(10));
    }

    static bool isNewsRequest(const std::vector<std::uint8_t> &bytes)
    {
        return bytes.size() == 8 && bytes[0] == 0xC6 && bytes[1] == 0x04; // 1222, little-endian
    }

private:
    static std::uint32_t newsAnswers(StatusStore &status)
    {
        std::lock_guard guard(status.lock);
        return status.newsAnswers;
    }

    std::uint32_t m_address;
    std::uint16_t m_port;
    int m_socket = -1;
    bool m_bound = false;
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
    // The peer had sent its first answer before it took the second query.
    Witness central(test::uniqueLoopbackAddress(), 48124);
    ASSERT_TRUE(central.bound());
    const auto sent = central.sentUpToNewsRequest(monitor.endpoint);
    ASSERT_TRUE(sent);
    ASSERT_TRUE(central.monitorHasReadAllBefore(monitor.endpoint, monitor.status, sent->back()));
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
    constexpr std::uint32_t kInterval = 1000;
    MonitorEndpoint endpoint(status, kInterval);
    ASSERT_TRUE(endpoint.create());
    ASSERT_TRUE(endpoint.start());
    endpoint.post(SetTarget{address, 2302});
    endpoint.post(StartPolling{});
    ASSERT_TRUE(eventually([&] { return status.snapshot().infoAnswers > 0; }));

    // A peer that never pauses for 100 ms: a datagram every 20 ms.
    Witness chatty(test::uniqueLoopbackAddress(), 0);
    ASSERT_TRUE(chatty.bound());
    std::atomic<bool> quiet{false};
    std::thread noise([&] {
        static const std::uint8_t kNoise[] = {'n', 'o', 'i', 's', 'e'};
        while (!quiet) {
            chatty.sendTo(endpoint.localPort(), kNoise);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    const auto countPolls = [&] {
        const auto queries = server.receivedQueries();
        return std::count(queries.begin(), queries.end(), "sockets 2302");
    };
    const auto pollsBefore = countPolls();
    const auto answersBefore = status.snapshot().infoAnswers;
    const auto start = std::chrono::steady_clock::now();
    // Three more polls still come, and no sooner than the interval allows:
    // the first may go at once, the third two intervals later.
    const bool polled = eventually([&] { return countPolls() >= pollsBefore + 3; }, std::chrono::seconds(30));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    const bool answered =
        eventually([&] { return status.snapshot().infoAnswers >= answersBefore + 3; }, std::chrono::seconds(10));
    quiet = true;
    noise.join();
    EXPECT_TRUE(polled);
    EXPECT_TRUE(answered);
    EXPECT_GE(elapsed, std::chrono::milliseconds(2 * kInterval - 50));
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

TEST(MonitorEndpoint, ATargetAloneSendsNothingAndStopPollingStopsTheQueries)
{
    // The witness plays the game server and the central server at once.
    Witness witness(test::uniqueLoopbackAddress(), 2302);
    ASSERT_TRUE(witness.bound());
    Monitor monitor;
    monitor.endpoint.post(SetTarget{witness.address(), 2302});
    auto sent = witness.sentUpToNewsRequest(monitor.endpoint);
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->size(), 1u) << "a target without polling sent something";
    EXPECT_TRUE(monitor.endpoint.isRunning());

    monitor.endpoint.post(StartPolling{});
    ASSERT_TRUE(witness.receive(std::chrono::seconds(10))) << "no poll after the start";
    monitor.endpoint.post(StopPolling{});
    ASSERT_TRUE(witness.sentUpToNewsRequest(monitor.endpoint));
    // Ten poll intervals of silence after the stop was handled.
    EXPECT_FALSE(witness.receive(std::chrono::milliseconds(10 * kFastPolls)));
}

TEST(MonitorEndpoint, AnswersFromAnotherAddressAreIgnored)
{
    Witness server(test::uniqueLoopbackAddress(), 2302);
    ASSERT_TRUE(server.bound());
    Monitor monitor;
    monitor.watch(server.address(), 2302);
    ASSERT_TRUE(server.receive(std::chrono::seconds(10))) << "no poll";

    auto impostorConfig = serverAt(test::uniqueLoopbackAddress(), 2302);
    impostorConfig.name = "Impostor";
    const auto impostorAnswer = GameServerPeer(impostorConfig).socketsAnswer(false);
    Witness impostor(impostorConfig.address, 2302);
    ASSERT_TRUE(impostor.bound());
    for (int i = 0; i < 3; ++i)
        impostor.sendTo(monitor.endpoint.localPort(), impostorAnswer);
    // The real answer is read after the impostor's: once it shows, they were read too.
    server.sendTo(monitor.endpoint.localPort(), GameServerPeer(serverAt(server.address(), 2302)).socketsAnswer(false));
    ASSERT_TRUE(eventually([&] { return monitor.status.snapshot().infoAnswers > 0; }, std::chrono::seconds(10)));
    const auto record = monitor.status.snapshot();
    EXPECT_EQ(record.description, "Garrison loopback server");
    EXPECT_EQ(record.infoAnswers, 1u);
}

} // namespace
