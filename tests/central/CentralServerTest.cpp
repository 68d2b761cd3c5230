#include "central/CentralServer.h"
#include "central/CentralSettings.h"

#include "autoaddon/AutoAddonPeer.h"
#include "common/ByteReader.h"
#include "gameserver/GameServerPeer.h"
#include "monitor/CentralAnswers.h"
#include "platform/HostLookup.h"
#include "support/Loopback.h"
#include "support/TempFolder.h"
#include "support/UdpClient.h"

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>

using namespace garrison;
using test::eventually;

namespace {

TEST(CentralSettings, ReadsTheFileAndItsBrowserEntries)
{
    test::TempFolder temp;
    temp.write("central.ini", "[server]\nbind = 127.0.0.1\nport = 48200\n[news]\npicture_url = http://x/b.gif\n"
                              "text = Garrison 1.24\nlink = http://x/\n[browser]\npoll = 10.0.0.1:2302\n"
                              "poll = coop.example\nentry = 10.0.0.2:2402:12:1:Coop: every evening\n");
    CentralSettings settings;
    std::string error;
    ASSERT_TRUE(loadCentralSettings(temp / "central.ini", settings, error)) << error;
    EXPECT_EQ(settings.port, 48200);
    EXPECT_EQ(settings.news.newsText, "Garrison 1.24");
    EXPECT_EQ(settings.polled, (std::vector<std::string>{"10.0.0.1:2302", "coop.example"}));
    ASSERT_EQ(settings.entries.size(), 1u);
    EXPECT_EQ(settings.entries[0], (BrowserEntry{0x0200000a, 2402, 12, 1, "Coop: every evening"}));

    for (const char *bad : {"10.0.0.2:2402:12:1:", "10.0.0.2:2402:300:1:X", "10.0.0.2:99999:1:1:X", "host:1:1:1:X",
                            "10.0.0.2:2402:1:X"}) {
        BrowserEntry entry;
        EXPECT_FALSE(parseBrowserEntry(bad, entry)) << bad;
    }
    temp.write("bad.ini", "[news]\ntext = fine\n[browser]\nentry = 10.0.0.2\n");
    EXPECT_FALSE(loadCentralSettings(temp / "bad.ini", settings, error));
    EXPECT_NE(error.find("line 4: \"entry = 10.0.0.2\""), std::string::npos) << error;
}

TEST(CentralSettings, TheShippedExampleReads)
{
    CentralSettings settings;
    std::string error;
    ASSERT_TRUE(loadCentralSettings(GARRISON_EXAMPLES "/central.ini", settings, error)) << error;
    EXPECT_EQ(settings.polled, std::vector<std::string>{"127.0.0.1:2302"});
    EXPECT_FALSE(settings.news.link.empty());
    EXPECT_TRUE(centralSettingsProblems(settings).empty());
}

TEST(CentralSettings, ACheckRefusesWhatTheServerWouldRefuse)
{
    test::TempFolder temp;
    const struct {
        const char *file;
        const char *error;
    } bad[] = {
        {"[server]\nport = 0\n", "line 2: \"port = 0\""},
        {"[server]\nper_datagram = 0\n", "line 2: \"per_datagram = 0\""},
        {"[server]\nper_datagram = 2000\n", "line 2: \"per_datagram = 2000\""},
        {"[server]\nrate_limit = -1\n", "line 2: \"rate_limit = -1\""},
        {"[server]\nbind = 999.1.1.1\n", "bind = 999.1.1.1: no IPv4 address"},
        {"[browser]\npoll = 10.0.0.1:99999\n", "poll = 10.0.0.1:99999: \"99999\" is no port number"},
        {"[browser]\npoll = :2302\n", "poll = :2302: no host name"},
    };
    for (const auto &c : bad) {
        temp.write("central.ini", c.file);
        CentralSettings settings;
        std::string error;
        std::string all;
        if (loadCentralSettings(temp / "central.ini", settings, error)) {
            for (const auto &problem : centralSettingsProblems(settings))
                all += problem + "\n";
        } else {
            all = error;
        }
        EXPECT_NE(all.find(c.error), std::string::npos) << c.file << " gave: " << all;
    }
}

// A polled server chooses its own name: it must not take the list's room, nor write on a terminal.
TEST(CentralProtocol, EveryDatagramStaysSmallAndEveryNameClean)
{
    std::vector<BrowserEntry> entries;
    for (std::uint32_t i = 0; i < 1500; ++i) {
        std::string name = "Server " + std::to_string(i) + "\r\n\x1b[31m" + std::string(i % 3 == 0 ? 8000 : 10, 'x');
        entries.push_back({0x0100000a + (i << 24), static_cast<std::uint16_t>(2302 + i), 1, 0, name});
    }
    for (const std::size_t perDatagram : {std::size_t{1}, std::size_t{20}, std::size_t{200}, std::size_t{1000}}) {
        const auto answers = browserAnswers(0x1234, entries, perDatagram);
        std::vector<BrowserEntry> received;
        for (const auto &answer : answers) {
            EXPECT_LE(answer.size(), kMaxBrowserDatagram);
            EXPECT_EQ(ByteReader(answer).at<std::uint16_t>(0), 0x1234);
            appendBrowserEntries(answer, received);
        }
        ASSERT_EQ(received.size(), entries.size()) << perDatagram;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            EXPECT_EQ(received[i].port, entries[i].port);
            const std::string expected =
                ("Server " + std::to_string(i) + "[31m" + std::string(i % 3 == 0 ? 8000 : 10, 'x')).substr(0, 255);
            ASSERT_EQ(received[i].name, expected) << i;
        }
    }
    EXPECT_TRUE(browserAnswers(1, {}, 20).empty());
}

class CentralServerTest : public ::testing::Test {
protected:
    std::unique_ptr<CentralServer> serve(const CentralSettings &settings)
    {
        auto server = std::make_unique<CentralServer>(settings, [this](const std::string &line) {
            std::lock_guard guard(logLock);
            log += line + "\n";
        });
        EXPECT_TRUE(server->open());
        EXPECT_TRUE(server->start());
        return server;
    }
    // What a Garrison gets from the central server at address.
    NewsAnswer news(std::uint32_t address)
    {
        StatusStore status;
        MonitorEndpoint client(status);
        EXPECT_TRUE(client.create() && client.start());
        client.post(NewsRequest{address, 48124});
        EXPECT_TRUE(eventually([&] {
            std::lock_guard guard(status.lock);
            return status.newsAnswers > 0;
        }));
        std::lock_guard guard(status.lock);
        return status.news;
    }

    std::mutex logLock;
    std::string log;
};

TEST_F(CentralServerTest, ListsFixedEntriesAndPolledServersThatRunAutoAddon)
{
    const std::uint32_t withAddons = test::uniqueLoopbackAddress();
    const std::uint32_t without = test::uniqueLoopbackAddress();
    peers::GameServerConfig coop;
    coop.address = withAddons;
    coop.name = "Evening coop";
    coop.players = {{"Alice", "5", "1", 0, -1}, {"Bob", "2", "3", 0, -1}};
    peers::GameServerPeer coopServer(coop);
    ASSERT_TRUE(coopServer.start());
    peers::AutoAddonConfig addons;
    addons.address = withAddons;
    addons.password = "secret";
    addons.list = "the list";
    peers::AutoAddonPeer addonServer(addons);
    ASSERT_TRUE(addonServer.start());
    peers::GameServerConfig plain;
    plain.address = without;
    plain.gameName = "opflash";
    peers::GameServerPeer plainServer(plain);
    ASSERT_TRUE(plainServer.start());

    CentralSettings settings;
    settings.bind = dottedAddress(test::uniqueLoopbackAddress());
    settings.news = {"http://x/banner.gif", "Garrison 1.24", "http://x/"};
    settings.entries = {{0x0200000a, 2402, 3, 0, "Fixed"}};
    settings.polled = {dottedAddress(withAddons) + ":2302", dottedAddress(without), "no-such-host.invalid:2302"};
    const auto server = serve(settings);
    const std::uint32_t central = *resolveIpv4(settings.bind);

    // A refused password still shows an Auto-Addon server.
    ASSERT_TRUE(eventually([&] { return server->browserList().size() == 2; }, std::chrono::seconds(10)));
    const auto entries = server->browserList();
    EXPECT_EQ(entries[0].name, "Fixed");
    EXPECT_EQ(entries[1], (BrowserEntry{withAddons, 2302, 2, 1, "Evening coop"}));

    // A Garrison asking gets the same list.
    StatusStore status;
    MonitorEndpoint client(status);
    ASSERT_TRUE(client.create() && client.start());
    client.post(BrowserRequest{central, 48124});
    ASSERT_TRUE(eventually([&] {
        std::lock_guard guard(status.lock);
        return status.browserList.size() == 2;
    }));
    EXPECT_EQ(news(central), (NewsAnswer{"http://x/banner.gif", "Garrison 1.24", "http://x/", false}));

    // New news without a restart; the dropped poll leaves the list.
    settings.news.newsText = "Garrison 1.25";
    settings.news.link = "http://x/garrison125.ozp";
    settings.polled.clear();
    server->reload(settings);
    EXPECT_EQ(news(central), (NewsAnswer{"http://x/banner.gif", "Garrison 1.25", "http://x/garrison125.ozp", true}));
    EXPECT_EQ(server->browserList().size(), 1u);
    std::lock_guard guard(logLock);
    EXPECT_NE(log.find("not polled: no-such-host.invalid:2302"), std::string::npos) << log;
    EXPECT_NE(log.find("browser list: 2 servers in 1 datagrams"), std::string::npos) << log;
    // The polled Auto-Addon server was asked for its list, never sent for it.
    for (const auto &request : addonServer.receivedRequests())
        EXPECT_EQ(request.rfind("list ", 0), 0u) << request;
}

TEST_F(CentralServerTest, AHostilePolledServerGetsACleanShortEntryAndItsListIsNeverFetched)
{
    const std::uint32_t hostile = test::uniqueLoopbackAddress();
    peers::GameServerConfig game;
    game.address = hostile;
    game.name = std::string(3000, 'N') + "\r\n\x1b[31mforged line";
    peers::GameServerPeer gameServer(game);
    ASSERT_TRUE(gameServer.start());
    peers::AutoAddonConfig addons;
    addons.address = hostile;
    addons.list = std::string(2 << 20, 'L');
    peers::AutoAddonPeer addonServer(addons);
    ASSERT_TRUE(addonServer.start());

    CentralSettings settings;
    settings.bind = dottedAddress(test::uniqueLoopbackAddress());
    for (std::uint32_t i = 0; i < 30; ++i)
        settings.entries.push_back({0x0100000a + (i << 24), 2302, 1, 1, "Honest " + std::to_string(i)});
    settings.polled = {dottedAddress(hostile) + ":2302"};
    const auto server = serve(settings);
    ASSERT_TRUE(eventually([&] { return server->browserList().size() == 31; }, std::chrono::seconds(10)));
    const std::string name = server->browserList().back().name;
    EXPECT_LE(name.size(), kMaxBrowserName);
    EXPECT_EQ(name.find_first_of("\r\n\x1b"), std::string::npos) << name;

    // A Garrison gets every honest entry.
    StatusStore status;
    MonitorEndpoint client(status);
    ASSERT_TRUE(client.create() && client.start());
    client.post(BrowserRequest{*resolveIpv4(settings.bind), 48124});
    ASSERT_TRUE(eventually([&] {
        std::lock_guard guard(status.lock);
        return status.browserList.size() == 31;
    }));
    EXPECT_EQ(addonServer.receivedRequests(), std::vector<std::string>(addonServer.receivedRequests().size(), "list "))
        << "no send-list, so the 2 MiB list never came";
}

TEST_F(CentralServerTest, AFloodIsHeldToTheBudgetOfAnAddressAndOfItsNetwork)
{
    CentralSettings settings;
    const std::uint32_t central = test::uniqueLoopbackAddress();
    settings.bind = dottedAddress(central);
    for (std::uint32_t i = 0; i < 200; ++i)
        settings.entries.push_back({0x0100000a + (i << 24), 2302, 1, 1, "Server " + std::to_string(i)});
    settings.rateLimitKib = 8;
    settings.networkRateLimitKib = 12;
    const auto server = serve(settings);
    const std::uint32_t network = central & 0x00FFFFFF;
    test::UdpClient victim(network | 40u << 24);
    test::UdpClient neighbour(network | 41u << 24);
    test::UdpClient marker(0x0100007f);
    const std::vector<std::uint8_t> browserRequest{0xFD, 0xFF, 0xC6, 0x04, 0x34, 0x12};
    const auto started = std::chrono::steady_clock::now();
    for (int i = 0; i < 100; ++i) {
        victim.send(central, 48124, browserRequest);
        neighbour.send(central, 48124, browserRequest);
    }
    // Answers leave in the order the requests came.
    marker.send(central, 48124, browserRequest);
    ASSERT_TRUE(marker.receive());
    std::size_t toVictim = 0, toNeighbour = 0;
    for (const auto &datagram : victim.drain())
        toVictim += datagram.size();
    for (const auto &datagram : neighbour.drain())
        toNeighbour += datagram.size();
    const double minutes = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count() / 60;
    EXPECT_LE(toVictim, 8 * 1024 * (1 + minutes) + 1);
    EXPECT_LE(toVictim + toNeighbour, 12 * 1024 * (1 + minutes) + 1) << "one /24 shares its budget";
    EXPECT_GT(toVictim, 0u);
    EXPECT_GT(toNeighbour, 0u);
    std::cout << "200 browser requests (1200 bytes) from one /24: " << toVictim + toNeighbour << " bytes sent\n";
}

} // namespace
