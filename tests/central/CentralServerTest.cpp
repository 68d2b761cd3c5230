#include "central/CentralServer.h"
#include "central/CentralSettings.h"

#include "autoaddon/AutoAddonPeer.h"
#include "gameserver/GameServerPeer.h"
#include "platform/HostLookup.h"
#include "support/Loopback.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

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
}

class CentralServerTest : public ::testing::Test {
protected:
    std::unique_ptr<CentralServer> serve(const CentralSettings &settings)
    {
        auto server = std::make_unique<CentralServer>(
            settings,
            [this](const std::string &line) {
                std::lock_guard guard(logLock);
                log += line + "\n";
            },
            cache.path() + "/");
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
        client.postCommand(MonitorEndpoint::kNewsRequest, address, 48124);
        EXPECT_TRUE(eventually([&] {
            std::lock_guard guard(status.lock);
            return status.newsAnswers > 0;
        }));
        std::lock_guard guard(status.lock);
        return status.news;
    }

    test::TempFolder cache;
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
    client.postCommand(MonitorEndpoint::kBrowserRequest, central, 48124);
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
    EXPECT_NE(log.find("browser list: 2 servers"), std::string::npos) << log;
}

} // namespace
