#include "monitor/MonitorEndpoint.h"

#include "autoaddon/AutoAddonPeer.h"
#include "central/CentralPeer.h"
#include "gameserver/GameServerPeer.h"
#include "lang/LanguageLoader.h"
#include "monitor/AddonServerText.h"
#include "support/Loopback.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace garrison;
using namespace garrison::peers;
using namespace std::chrono_literals;
using test::eventually;

namespace {

constexpr std::uint32_t kFastPolls = 200;
constexpr std::uint16_t kGamePort = 2302;

std::string packageList()
{
    std::string list;
    for (int i = 0; i < 400; ++i)
        list += "pack" + std::to_string(i * 104729 % 7919) + " 9 http://127.0.0.1/p" + std::to_string(i) + ".zip\n";
    return list;
}

// A game server with its Auto-Addon server beside it, watched over loopback.
class AutoAddonExchange : public ::testing::Test {
protected:
    void SetUp() override
    {
        GameServerConfig game;
        game.address = address;
        game.gamePort = kGamePort;
        gameServer = std::make_unique<GameServerPeer>(game);
        ASSERT_TRUE(gameServer->start());
    }

    void startAddonServer(AutoAddonConfig config)
    {
        config.address = address;
        config.port = kGamePort + 40;
        config.password = "secret";
        config.list = packageList();
        config.chunkData = 300;
        addonServer = std::make_unique<AutoAddonPeer>(config);
        ASSERT_TRUE(addonServer->start());
    }

    void watch(const std::string &password = "secret")
    {
        endpoint = std::make_unique<MonitorEndpoint>(status, kFastPolls, cache.path());
        {
            std::lock_guard guard(status.lock);
            status.password = password;
            status.addonDatabaseReady = true;
        }
        ASSERT_TRUE(endpoint->create());
        endpoint->start();
        endpoint->post(SetTarget{address, kGamePort});
        endpoint->post(StartPolling{});
    }

    std::string shown() { return addonServerText(status.snapshot(), true, language); }
    std::optional<std::string> list()
    {
        std::lock_guard guard(status.lock);
        if (!status.offeredList)
            return std::nullopt;
        return std::string(status.offeredList->begin(), status.offeredList->end());
    }
    bool shows(const std::string &text, std::chrono::milliseconds limit)
    {
        return eventually([&] { return shown() == text; }, limit);
    }
    long count(const std::string &request)
    {
        const auto requests = addonServer->receivedRequests();
        return std::count(requests.begin(), requests.end(), request);
    }

    const LanguageTable language = loadLanguageTable("/nonexistent/garrisonlanguage.ini");
    const std::uint32_t address = test::uniqueLoopbackAddress();
    test::TempFolder cache;
    std::unique_ptr<GameServerPeer> gameServer;
    std::unique_ptr<AutoAddonPeer> addonServer;
    StatusStore status;
    std::unique_ptr<MonitorEndpoint> endpoint;
};

TEST_F(AutoAddonExchange, ListInChunksThenFromTheCache)
{
    startAddonServer({});
    ASSERT_GT(addonServer->chunkCount(), 3u);
    watch();
    ASSERT_TRUE(shows("Yes", 5s)) << shown();
    ASSERT_TRUE(eventually([&] { return list().has_value(); }));
    EXPECT_EQ(list(), packageList());
    // Asked once, or twice when a poll came before the answer on a busy machine; never more.
    const long asked = count("list secret");
    EXPECT_GE(asked, 1);
    EXPECT_LE(asked, 2);
    EXPECT_EQ(count("send-list"), 1);

    // Selecting the server again: the cache answers, no transfer.
    endpoint->stop();
    status.clear();
    watch();
    ASSERT_TRUE(eventually([&] { return shown() == "Yes" && list().has_value(); }));
    EXPECT_GE(count("list secret") - asked, 1);
    EXPECT_LE(count("list secret") - asked, 2);
    EXPECT_EQ(count("send-list"), 1);
}

TEST_F(AutoAddonExchange, LostChunksAreReRequested)
{
    AutoAddonConfig config;
    config.dropOnce = {1, 3};
    config.corruptOnce = {2};
    startAddonServer(config);
    watch();
    ASSERT_TRUE(shows("Yes", 9s)) << shown();
    EXPECT_EQ(count("re-request 1"), 1);
    EXPECT_EQ(count("re-request 2"), 1);
    EXPECT_EQ(count("re-request 3"), 1);
    EXPECT_EQ(count("re-request 0"), 0);
    EXPECT_TRUE(eventually([&] { return list() == packageList(); }));
}

TEST_F(AutoAddonExchange, ServerThatNeverCompletesTimesOut)
{
    AutoAddonConfig config;
    config.dropAlways = {0};
    startAddonServer(config);
    watch();
    ASSERT_TRUE(shows("Timeout", 14s)) << shown();
    EXPECT_EQ(count("re-request 0"), 2);
}

TEST_F(AutoAddonExchange, WrongPasswordAndNoServer)
{
    startAddonServer({});
    watch("guess");
    EXPECT_TRUE(shows("Psw fail", 5s)) << shown();
    EXPECT_EQ(count("send-list"), 0);
    addonServer->stop();

    endpoint->stop();
    status.clear();
    watch();
    EXPECT_TRUE(shows("No", 5s)) << shown();
}

TEST_F(AutoAddonExchange, LongAnnouncementStartsTheElapsedClock)
{
    AutoAddonConfig config;
    config.elapsedMs = 65000;
    config.gameState = 14;
    startAddonServer(config);
    watch();
    ASSERT_TRUE(eventually([&] { return status.snapshot().elapsedKnown; }));
    const auto record = status.snapshot();
    EXPECT_EQ(record.elapsedBase, 65000u);
    EXPECT_EQ(record.elapsedState, 14);
}

TEST(CentralServerExchange, NewsAndBrowserList)
{
    CentralConfig config;
    config.address = test::uniqueLoopbackAddress();
    config.pictureUrl = "http://127.0.0.1/banner.gif";
    config.newsText = "Garrison 1.23 is out";
    config.link = "http://127.0.0.1/garrison123.OZP";
    const BrowserEntry first{0x0a00000a, 2302, 0, 1, "Evening coop"};
    const BrowserEntry second{0x0b00000a, 2402, 0, 0, "CTI"};
    config.entries = {first, second, first};
    config.entriesPerDatagram = 2;
    CentralPeer central(config);
    ASSERT_TRUE(central.start());

    StatusStore status;
    MonitorEndpoint endpoint(status, kFastPolls);
    ASSERT_TRUE(endpoint.create());
    endpoint.start();
    endpoint.post(NewsRequest{config.address, kCentralServerPort});
    endpoint.post(BrowserRequest{config.address, kCentralServerPort});
    ASSERT_TRUE(eventually([&] {
        std::lock_guard guard(status.lock);
        return !status.news.link.empty() && status.browserList.size() >= 2;
    }));
    // The duplicate comes in a later datagram. The peer answers one request
    // after another, so once a second news answer is in, that datagram is too.
    endpoint.post(NewsRequest{config.address, kCentralServerPort});
    ASSERT_TRUE(eventually([&] {
        std::lock_guard guard(status.lock);
        return status.newsAnswers >= 2;
    }));
    std::lock_guard guard(status.lock);
    EXPECT_EQ(status.news, (NewsAnswer{config.pictureUrl, config.newsText, config.link, true}));
    EXPECT_EQ(status.browserList, (std::vector<BrowserEntry>{first, second}));
    EXPECT_EQ(central.receivedRequests(), (std::vector<std::string>{"news", "browser", "news"}));
}

} // namespace
