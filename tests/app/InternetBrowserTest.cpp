#include "app/InternetBrowser.h"

#include "gameserver/GameServerPeer.h"
#include "lang/LanguageLoader.h"
#include "platform/HostLookup.h"
#include "support/Loopback.h"
#include "support/MasterPeerProcess.h"

#include <gtest/gtest.h>

#include <memory>

using namespace garrison;

namespace {

peers::GameServerConfig server(std::uint32_t address, std::uint16_t port, const char *name, int players)
{
    peers::GameServerConfig config;
    config.address = address;
    config.gamePort = port;
    config.name = name;
    config.maxPlayers = 6; // 4 to join, as the window counts
    for (int i = 0; i < players; ++i)
        config.players.push_back({name + std::to_string(i), "0", "0", 0, -1});
    return config;
}

class InternetBrowserTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto full = server(address, 2402, "Full house", 4);
        full.mod = "RES;@WW2";
        auto locked = server(address, 2404, "Locked coop", 1);
        locked.password = true;
        auto classic = server(address, 2406, "Classic CTF", 2);
        classic.gameName = "opflash";
        classic.map = "abel";
        for (const auto &config : {full, locked, classic}) {
            games.push_back(std::make_unique<peers::GameServerPeer>(config));
            ASSERT_TRUE(games.back()->start());
        }
        const std::string host = dottedAddress(address);
        master = std::make_unique<test::MasterPeerProcess>(std::vector<std::string>{
            "--bind", host, "--port", "28930", "--key", "Zm4x2P", "--server", host + ":2403:opflashr", "--server",
            host + ":2405:opflashr", "--server", host + ":2407:opflash", "--server", host + ":2409:opflash"});
        ASSERT_TRUE(master->listening());
    }

    // A refresh run to its end.
    void refreshed(InternetBrowser &browser)
    {
        browser.refresh();
        EXPECT_TRUE(browser.progress().running);
        ASSERT_TRUE(test::eventually([&] { return browser.takeEndedRun(); }, std::chrono::seconds(20)));
        EXPECT_FALSE(browser.takeEndedRun()) << "taken once";
    }

    std::vector<std::string> names(const InternetBrowser &browser, const InternetFilter &filter,
                                   InternetColumn column = InternetColumn::Players, bool ascending = false)
    {
        std::vector<std::string> shown;
        for (const std::size_t i : browser.visible(filter, column, ascending))
            shown.push_back(browser.rows()[i].server.name);
        return shown;
    }

    const std::uint32_t address = test::uniqueLoopbackAddress();
    const LanguageTable language = loadLanguageTable("/nonexistent/garrisonlanguage.ini");
    std::vector<std::unique_ptr<peers::GameServerPeer>> games;
    std::unique_ptr<test::MasterPeerProcess> master;
};

TEST_F(InternetBrowserTest, ListsBothGamesFiltersSortsAndMarksAutoAddonServers)
{
    const std::string host = dottedAddress(address);
    InternetBrowser browser(host + ":28930, " + host + ":1, ::", "Zm4x2P", language);
    ASSERT_TRUE(browser.hasMasters());
    EXPECT_EQ(browser.badMasters(), std::vector<std::string>{"::"});
    refreshed(browser);
    ASSERT_EQ(browser.rows().size(), 4u) << "the silent server is listed too";
    const auto failures = browser.progress().failures;
    ASSERT_EQ(failures.size(), 2u) << "the master on port 1, once per game";
    EXPECT_NE(failures[0].find("cannot connect"), std::string::npos) << failures[0];

    InternetFilter filter;
    EXPECT_EQ(names(browser, filter), (std::vector<std::string>{"Full house", "Classic CTF", "Locked coop"}))
        << "the fullest first; no row for a server that never answered";
    const struct {
        const char *what;
        void (*set)(InternetFilter &);
        std::vector<std::string> shown;
    } cases[] = {
        {"Resistance",
         [](InternetFilter &f) { f.game = InternetFilter::Game::Resistance; },
         {"Full house", "Locked coop"}},
        {"Flashpoint", [](InternetFilter &f) { f.game = InternetFilter::Game::Flashpoint; }, {"Classic CTF"}},
        {"not full", [](InternetFilter &f) { f.notFull = true; }, {"Classic CTF", "Locked coop"}},
        {"no password", [](InternetFilter &f) { f.noPassword = true; }, {"Full house", "Classic CTF"}},
        {"mod, any case", [](InternetFilter &f) { f.mod = "ww2"; }, {"Full house"}},
        {"search the map", [](InternetFilter &f) { f.search = "ABEL"; }, {"Classic CTF"}},
        {"search the address", [](InternetFilter &f) { f.search = ":2404"; }, {"Locked coop"}},
        {"version", [](InternetFilter &f) { f.version = "2.0"; }, {}},
    };
    for (const auto &c : cases) {
        InternetFilter one;
        c.set(one);
        EXPECT_EQ(names(browser, one), c.shown) << c.what;
    }
    EXPECT_EQ(names(browser, filter, InternetColumn::Name, true),
              (std::vector<std::string>{"Classic CTF", "Full house", "Locked coop"}));
    EXPECT_EQ(names(browser, filter, InternetColumn::Players, true),
              (std::vector<std::string>{"Locked coop", "Classic CTF", "Full house"}));

    const InternetRow &full = browser.rows()[browser.visible(filter, InternetColumn::Players, false)[0]];
    EXPECT_EQ(full.address, host + ":2402") << "the game port, one below the listed query port";
    EXPECT_EQ(browser.cell(full, InternetColumn::Players), "4/4");
    EXPECT_EQ(browser.cell(full, InternetColumn::Mods), "RES;@WW2");
    EXPECT_EQ(browser.cell(full, InternetColumn::State), "Playing");
    EXPECT_EQ(browser.cell(full, InternetColumn::AutoAddon), "");
    browser.markAutoAddon({host + ":2402"});
    EXPECT_EQ(browser.cell(full, InternetColumn::AutoAddon), "yes");
}

TEST_F(InternetBrowserTest, AWrongKeyIsReportedAndNoMastersMeansNoRun)
{
    InternetBrowser browser(dottedAddress(address) + ":28930", "wrong1", language);
    refreshed(browser);
    EXPECT_TRUE(browser.rows().empty());
    const auto failures = browser.progress().failures;
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_NE(failures[0].find("the master refused: validate failed"), std::string::npos) << failures[0];

    InternetBrowser none("", "", language);
    EXPECT_FALSE(none.hasMasters());
}

} // namespace
