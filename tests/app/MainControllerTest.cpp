#include "app/MainController.h"

#include "RecordingMainView.h"

#include "aaserver/OfferedBlockWriter.h"
#include "addondb/DatabaseFile.h"
#include "autoaddon/AutoAddonPeer.h"
#include "central/CentralPeer.h"
#include "gameserver/GameServerPeer.h"
#include "lang/LanguageLoader.h"
#include "servers/LinuxSettings.h"
#include "servers/SettingsFile.h"
#include "support/Loopback.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <future>
#include <map>

using namespace garrison;
using test::eventually;
using test::RecordingMainView;

namespace {

using Names = std::vector<std::string>;

class MainControllerTest : public ::testing::Test {
protected:
    MainControllerTest()
    {
        temp.write("game/FLASHPOINTRESISTANCE.EXE", "");
        temp.write("game/finmod/readme.txt", "");
        settings.options.gameFolder = temp / "game/";
        settings.options.autoAddonEnabled = false;
    }

    MainController &start()
    {
        EXPECT_TRUE(SettingsFile::save(settings, temp / "garrison.sav"));
        MainStart start;
        start.folder = temp.path();
        start.places = {temp / "noprefix", temp / "nohome"};
        start.pollInterval = 100;
        start.programFolder = programFolder;
        controller = std::make_unique<MainController>(view, language, start);
        EXPECT_TRUE(controller->initialise());
        return *controller;
    }
    // Ticks the timer until the condition holds (or ten seconds passed).
    bool tickUntil(const std::function<bool()> &condition)
    {
        return eventually(
            [&] {
                now += 500;
                controller->tick(now);
                return condition();
            },
            std::chrono::seconds(10));
    }

    static inline const LanguageTable language = loadLanguageTable("/nonexistent/garrisonlanguage.ini");
    test::TempFolder temp;
    Settings settings;
    std::string programFolder = temp / "program/";
    RecordingMainView view;
    std::unique_ptr<MainController> controller;
    std::uint32_t now = 1000;
};

ServerEntry networkEntry(const std::string &address, const std::string &name)
{
    ServerEntry entry;
    entry.address = address;
    entry.name = name;
    return entry;
}

TEST_F(MainControllerTest, SelectingAServerShowsItRenamesItAndPlaysOntoIt)
{
    const auto serverAddress = test::uniqueLoopbackAddress();
    peers::GameServerConfig config;
    config.address = serverAddress;
    config.players = {{"Alice", "5", "1", 0, -1}, {"Bob", "2", "3", 0, -1}};
    config.equalModRequired = 0;
    peers::GameServerPeer server(config);
    ASSERT_TRUE(server.start());
    const std::string address = dottedAddress(serverAddress) + ":2302";
    settings.servers = {networkEntry(address, address)};
    settings.selectedIndex = 0;
    auto &main = start();

    EXPECT_EQ(view.rows, Names{address});
    EXPECT_EQ(view.address, address);
    EXPECT_EQ(view.password, "<no password>");
    ASSERT_TRUE(tickUntil([&] { return view.players.size() == 2; }));
    EXPECT_EQ(view.fields[MonitorField::Description], "Garrison loopback server");
    EXPECT_EQ(view.fields[MonitorField::Mission], "CTF Eden");
    EXPECT_EQ(view.fields[MonitorField::Map], "eden");
    EXPECT_EQ(view.fields[MonitorField::Status], "Playing");
    EXPECT_EQ(view.players, (std::vector<std::pair<std::string, std::string>>{{"Alice", "5/1"}, {"Bob", "2/3"}}));
    // Named after its address, the entry takes the server's name, in the list and in the file.
    EXPECT_EQ(view.rows, Names{"Garrison loopback server"});
    EXPECT_EQ(SettingsFile::read(temp / "garrison.sav").settings.servers.at(0).name, "Garrison loopback server");

    main.playNow();
    EXPECT_EQ(view.started,
              "FLASHPOINTRESISTANCE.EXE -nosplash -connect=" + dottedAddress(serverAddress) + " -port=2302");
    EXPECT_EQ(view.actions.back(), "minimised");

    // Another entry, where nothing answers: nothing of the first server shows meanwhile.
    EXPECT_TRUE(main.add(networkEntry(dottedAddress(serverAddress) + ":2999", "silent")));
    for (int tick = 0; tick < 6; ++tick) {
        main.tick(now += 500);
        for (const auto &[field, text] : view.fields) {
            // Without a database there is no Auto-Addon query, for any server.
            const std::string expected = field == MonitorField::AutoAddon ? "n/a" : "";
            EXPECT_EQ(text, expected) << "field " << static_cast<int>(field) << ", tick " << tick;
        }
        EXPECT_TRUE(view.players.empty());
    }
}

TEST_F(MainControllerTest, ALocalEntryPollsNothingAndStillPlays)
{
    settings.servers = {networkEntry("", "Single player")};
    settings.servers[0].local = true;
    settings.selectedIndex = 0;
    auto &main = start();
    EXPECT_EQ(view.address, "<local/single player>");
    EXPECT_EQ(view.fields[MonitorField::Description], "Local server");
    EXPECT_FALSE(main.monitoring());
    main.playNow();
    EXPECT_EQ(view.started, "FLASHPOINTRESISTANCE.EXE -nosplash");
}

TEST_F(MainControllerTest, AnAddressThatDoesNotResolveSaysSo)
{
    settings.servers = {networkEntry("10.0.0.1:99999", "bad port"), networkEntry("no-such-host.invalid", "bad host"),
                        networkEntry("  :2302", "no host")};
    settings.selectedIndex = 0;
    auto &main = start();
    EXPECT_EQ(view.fields[MonitorField::Description],
              "Bad address error: the port must be a number from 1 to 65535, not 99999");
    EXPECT_FALSE(main.monitoring());
    main.select(2);
    EXPECT_EQ(view.fields[MonitorField::Description], "Bad address error: the address names no host");
    main.select(1); // looked up off the UI thread; the answer comes with a tick
    EXPECT_EQ(view.fields[MonitorField::Description], "");
    ASSERT_TRUE(eventually(
        [&] {
            now += 500;
            main.tick(now);
            return view.fields[MonitorField::Description] ==
                   "Bad address error: the host no-such-host.invalid cannot be found";
        },
        std::chrono::seconds(60)));
    EXPECT_FALSE(main.monitoring());
}

// A server list of a newer version: said once, and this run never saves over it.
TEST_F(MainControllerTest, AListItCannotReadIsKeptAsItIs)
{
    auto &main = start();
    main.shutDown(0, 0);
    controller.reset();
    const std::string newer("\0\x0c\0\0\0\x01\0\0\0a later list", 21);
    temp.write("garrison.sav", newer);
    view.actions.clear();
    MainStart places;
    places.folder = temp.path();
    places.places = {temp / "noprefix", temp / "nohome"};
    places.programFolder = programFolder;
    controller = std::make_unique<MainController>(view, language, places);
    EXPECT_TRUE(controller->initialise());
    ASSERT_FALSE(view.actions.empty());
    EXPECT_EQ(view.actions.front(),
              "notice garrison.sav cannot be read (it was written by a newer Garrison (format 12; "
              "this one reads 1 to 9)). Garrison works on without saving over it.");
    EXPECT_TRUE(controller->add(networkEntry("10.1.2.3:2302", "typed")));
    controller->shutDown(10, 10);
    EXPECT_EQ(temp.read("garrison.sav"), newer);
}

// A data folder nothing can be written to: said once at the start.
TEST_F(MainControllerTest, AFolderThatCannotBeWrittenIsNamed)
{
    MainStart places;
    places.folder = "/proc/";
    places.places = {temp / "noprefix", temp / "nohome"};
    places.programFolder = programFolder;
    controller = std::make_unique<MainController>(view, language, places);
    controller->initialise();
    const auto notices = std::count_if(view.actions.begin(), view.actions.end(), [](const std::string &action) {
        return action.starts_with("notice The folder /proc/ cannot be written");
    });
    EXPECT_EQ(notices, 1);
    controller->shutDown(0, 0);
}

// Saves fail while a folder stands where the temporary file must go ("Is a directory", even for root).
TEST_F(MainControllerTest, AFailedSaveIsToldOnceUntilOneSucceedsAndTheOldFileStays)
{
    settings.options.autoAddonEnabled = true;
    settings.servers = {networkEntry("10.1.2.3", "a")};
    auto &main = start();
    ASSERT_TRUE(tickUntil([&] { return main.databaseReady(); }));
    const auto notices = [&] {
        Names said;
        for (const auto &action : view.actions) {
            if (action.starts_with("notice "))
                said.push_back(action.substr(7));
        }
        return said;
    };
    const std::string listNotSaved = "The server list and the options were not saved to \"" + (temp / "garrison.sav") +
                                     "\" (Is a directory). The file that was there is left as it was.";

    std::filesystem::create_directory(temp / "garrison.sav.new");
    EXPECT_TRUE(main.add(networkEntry("10.1.2.4", "b")));
    main.saveSettings();
    EXPECT_EQ(notices(), Names{listNotSaved}) << "told once, not at every save";
    EXPECT_EQ(SettingsFile::read(temp / "garrison.sav").settings.servers.size(), 1u);

    std::filesystem::remove(temp / "garrison.sav.new");
    main.saveSettings();
    EXPECT_EQ(SettingsFile::read(temp / "garrison.sav").settings.servers.size(), 2u);
    std::filesystem::create_directory(temp / "garrison.sav.new");
    main.saveSettings();
    EXPECT_EQ(notices(), (Names{listNotSaved, listNotSaved})) << "a new failure after a success is told again";

    std::filesystem::remove(temp / "garrison.sav.new");
    std::filesystem::create_directory(temp / "garrison.da2");
    main.shutDown(0, 0);
    EXPECT_EQ(notices().back(), "The add-on database was not saved to \"" + (temp / "garrison.dat") +
                                    "\" (Is a directory). The file that was there is left as it was.");
    EXPECT_FALSE(std::filesystem::exists(temp / "garrison.dat")) << "no half-written database";
}

// garrisonsetup failed after the last run: the player hears it at this start, once.
TEST_F(MainControllerTest, AFailedUpgradeIsToldAtTheNextStart)
{
    temp.write("program/.garrison-swap-failed", "cannot move garrison in place");
    start();
    EXPECT_NE(std::find(view.actions.begin(), view.actions.end(),
                        "notice The last upgrade was not installed: cannot move garrison in place"),
              view.actions.end());
    EXPECT_FALSE(std::filesystem::exists(temp / "program/.garrison-swap-failed"));
}

TEST_F(MainControllerTest, AddEditAndDel)
{
    auto &main = start();
    EXPECT_EQ(view.selectedRow, -1);

    ServerEntry typed = networkEntry("10.1.2.3:2302", "typed name");
    EXPECT_TRUE(main.add(typed));
    EXPECT_EQ(view.rows, Names{"10.1.2.3:2302"}); // a new network entry is named after its address
    EXPECT_EQ(view.selectedRow, 0);
    EXPECT_TRUE(main.monitoring());

    EXPECT_FALSE(main.add(networkEntry("", "no address")));
    ServerEntry nameless;
    nameless.local = true;
    EXPECT_FALSE(main.add(nameless));
    EXPECT_EQ(main.settings().servers.size(), 1u);

    typed.name = "Club";
    typed.password = "pw";
    EXPECT_TRUE(main.edit(typed));
    EXPECT_EQ(view.rows, Names{"Club"}); // an edit keeps the typed name
    EXPECT_EQ(view.password, "pw");

    view.alarm = true;
    main.removeSelected();
    EXPECT_TRUE(view.rows.empty());
    EXPECT_EQ(view.selectedRow, -1);
    EXPECT_EQ(view.address, "");
    EXPECT_EQ(view.password, "");
    EXPECT_FALSE(main.monitoring());
    EXPECT_FALSE(view.alarm) << "the alarm stops with the selection";
    for (const auto &[field, text] : view.fields)
        EXPECT_EQ(text, "") << static_cast<int>(field);

    EXPECT_TRUE(main.edit(typed)); // without a selection, Edit adds
    EXPECT_EQ(view.rows, Names{"10.1.2.3:2302"});
}

TEST_F(MainControllerTest, TheAlarmBoxPreviewsItsSound)
{
    auto &main = start();
    main.alarmToggled(false);
    main.alarmToggled(true);
    EXPECT_EQ(view.actions, Names{"sound 161"});
}

TEST_F(MainControllerTest, SettingsAndWindowPlaceAreKeptAtShutDown)
{
    settings.servers = {networkEntry("10.1.2.3", "a"), networkEntry("10.1.2.4", "b")};
    settings.selectedIndex = 1;
    settings.options.windowLeft = 40;
    settings.options.windowTop = 30;
    auto &main = start();
    EXPECT_EQ(view.actions, Names{"moved to 40,30"});
    main.select(0);
    main.shutDown(120, 80);
    const Settings saved = SettingsFile::read(temp / "garrison.sav").settings;
    EXPECT_EQ(saved.selectedIndex, 0);
    EXPECT_EQ(saved.options.windowLeft, 120);
    EXPECT_EQ(saved.options.windowTop, 80);
    EXPECT_EQ(saved.servers, settings.servers);
}

TEST_F(MainControllerTest, TheFirstScanSaysSoThenTheDatabaseBecomesReady)
{
    settings.options.autoAddonEnabled = true;
    settings.servers = {networkEntry("10.1.2.3", "a")};
    settings.selectedIndex = 0;
    auto &main = start();
    EXPECT_EQ(view.actions.front(), "first run");
    EXPECT_FALSE(main.monitoring()) << "the selection waits for the scan";
    ASSERT_TRUE(tickUntil([&] { return main.databaseReady(); }));
    EXPECT_TRUE(main.monitoring());
    EXPECT_NE(std::find(view.actions.begin(), view.actions.end(), "scan progress closed"), view.actions.end());
    const auto inputs = main.setupInputs(true);
    EXPECT_EQ(inputs.modFolders, Names{"finmod"});
    main.shutDown(0, 0);
    EXPECT_TRUE(std::filesystem::exists(temp / DatabaseFile::kFileName));

    view.actions.clear();
    start();
    EXPECT_EQ(std::count(view.actions.begin(), view.actions.end(), "first run"), 0);
}

TEST_F(MainControllerTest, ANeededPackageTheServerOffersMakesTheManagerFlash)
{
    const auto serverAddress = test::uniqueLoopbackAddress();
    peers::GameServerConfig game;
    game.address = serverAddress;
    peers::GameServerPeer server(game);
    ASSERT_TRUE(server.start());
    OfferedContent offer;
    offer.serverTexts = {"Club", "", "", ""};
    offer.packages = {{"http://127.0.0.1/tanks.zip", 1000, "Tanks", "", 7, {{"addons\\tanks.pbo", 5, 0x12345678}}}};
    const auto block = writeOfferedBlock(offer);
    peers::AutoAddonConfig addon;
    addon.address = serverAddress;
    addon.password = "pw";
    addon.list.assign(block.begin(), block.end());
    peers::AutoAddonPeer addonServer(addon);
    ASSERT_TRUE(addonServer.start());

    settings.options.autoAddonEnabled = true;
    ServerEntry entry = networkEntry(dottedAddress(serverAddress) + ":2302", "Club");
    entry.password = "pw";
    settings.servers = {entry};
    settings.selectedIndex = 0;
    settings.options.installExisting = false;
    auto &main = start();
    // The Manager works on the offered list: one that comes meanwhile waits for it to close.
    main.managerOpening();
    ASSERT_TRUE(tickUntil([&] { return main.databaseReady(); }));
    ASSERT_TRUE(tickUntil([&] { return view.fields[MonitorField::AutoAddon] == "Yes"; }));
    for (int i = 0; i < 3; ++i)
        main.tick(now += 500);
    EXPECT_TRUE(main.database().offered().packages.empty());
    main.managerClosed();
    ASSERT_TRUE(tickUntil([&] { return view.managerCaption == "Download"; }));
    ASSERT_EQ(main.database().offered().packages.size(), 1u);
    EXPECT_EQ(main.database().offered().packages[0].name, "Tanks");
    EXPECT_TRUE(tickUntil([&] { return view.managerCaption == "Addons"; })) << "it flashes";

    // The player's "Install existing files" holds for every list and is kept when the Manager closes.
    EXPECT_FALSE(main.database().offered().installExistingFiles);
    main.managerOpening();
    main.database().offered().installExistingFiles = true;
    main.managerClosed();
    EXPECT_TRUE(SettingsFile::read(temp / "garrison.sav").settings.options.installExisting);

    main.select(0); // a new selection forgets the list until it comes again
    EXPECT_TRUE(main.database().offered().packages.empty());
}

// The player reads the first-run message for a minute; the scan's progress
// still waits its two seconds, counted from the first tick after it.
TEST_F(MainControllerTest, TheScanProgressWaitsTwoSecondsOfTheScanItself)
{
    settings.options.autoAddonEnabled = true;
    temp.write("game/AddOns/a.pbo", "a");
    ASSERT_TRUE(SettingsFile::save(settings, temp / "garrison.sav"));
    MainStart places;
    places.folder = temp.path();
    places.places = {temp / "noprefix", temp / "nohome"};
    places.programFolder = programFolder;
    controller = std::make_unique<MainController>(view, language, places);
    std::promise<void> release;
    auto released = release.get_future().share();
    controller->database().observeProgress([released](const std::string &) { released.wait(); });
    controller->initialise();
    now += 60000;
    const auto progressShown = [&] {
        return std::find(view.actions.begin(), view.actions.end(), "scan progress") != view.actions.end();
    };
    for (int tick = 0; tick < 4; ++tick) {
        controller->tick(now += 500);
        EXPECT_FALSE(progressShown()) << "tick " << tick;
    }
    controller->tick(now += 500);
    EXPECT_TRUE(progressShown());
    release.set_value();
    ASSERT_TRUE(tickUntil([&] { return controller->databaseReady(); }));
}

TEST_F(MainControllerTest, WithoutAGameFolderThePlayerIsAsked)
{
    settings.options.gameFolder = temp / "gone/";
    view.gameFolderAnswer = temp / "game";
    auto &main = start();
    EXPECT_EQ(view.actions, Names{"asked for the game folder"});
    EXPECT_EQ(main.options().gameFolder, temp / "game/");
}

TEST_F(MainControllerTest, NewsFromTheCentralServerAndItsLinks)
{
    peers::CentralConfig config;
    config.address = test::uniqueLoopbackAddress();
    config.port = 48200;
    config.pictureUrl = "http://127.0.0.1/banner.gif";
    config.newsText = "Garrison 1.23 is out";
    config.link = "http://127.0.0.1:1/garrison123.OZP"; // nothing listens there
    peers::CentralPeer central(config);
    ASSERT_TRUE(central.start());
    LinuxSettings linuxSettings;
    linuxSettings.centralHost = dottedAddress(config.address) + ":48200";
    ASSERT_TRUE(LinuxSettings::save(linuxSettings, temp / LinuxSettings::kFileName));
    temp.write("program/garrison", "the installed program");
    temp.write("program/garrisonsetup", "#!/bin/sh\n");
    std::filesystem::permissions(temp / "program/garrisonsetup", std::filesystem::perms::owner_all);

    for (const bool writable : {true, false}) {
        view = RecordingMainView{};
        programFolder = temp / (writable ? "program/" : "system-folder/");
        auto &main = start();
        ASSERT_TRUE(tickUntil([&] { return view.linkButtonShown; }));
        EXPECT_EQ(std::count(view.actions.begin(), view.actions.end(), "banner " + config.pictureUrl), 1);
        // An upgrade offer blinks: three ticks shown, one blank.
        std::string captions;
        for (int i = 0; i < 8; ++i) {
            main.tick(now += 500);
            captions += view.linkCaption.empty() ? '-' : 'x';
        }
        EXPECT_TRUE(captions == "xxx-xxx-" || captions == "xx-xxx-x" || captions == "x-xxx-xx" ||
                    captions == "-xxx-xxx")
            << captions;

        view.actions.clear();
        main.bannerClicked();
        main.linkClicked();
        if (writable) {
            EXPECT_EQ(view.actions, (Names{"open " + config.link, "upgrade started"}));
            ASSERT_TRUE(tickUntil([&] { return view.actions.back() == "upgrade failed"; }));
            EXPECT_TRUE(view.linkCaption.starts_with("Upgrade failed: ")) << view.linkCaption;
            EXPECT_EQ(temp.read("program/garrison"), "the installed program");
            EXPECT_FALSE(std::filesystem::exists(temp / "garrison.ozp"));
        } else {
            // Installed by the system: the browser gets the link and the status says why.
            EXPECT_EQ(view.actions, (Names{"open " + config.link, "open " + config.link}));
            main.tick(now += 500);
            EXPECT_EQ(view.linkCaption,
                      "Garrison cannot replace its own files here: the upgrade opens in your browser");
        }
        // The offer is taken: the caption no longer blinks.
        for (int i = 0; i < 4; ++i) {
            main.tick(now += 500);
            EXPECT_FALSE(view.linkCaption.empty());
        }
        controller.reset();
    }
    EXPECT_EQ(central.receivedRequests(), (Names{"news", "news"}));
}

// What a hostile central server sends as its link: never handed to the
// desktop's opener, refused with a notice naming it; the tool tip names the target.
TEST_F(MainControllerTest, ANewsLinkOpensOnlyAsAWebPage)
{
    const struct {
        std::string link;
        bool opened;
    } cases[] = {
        {"https://example.org/news", true},      {"HTTP://example.org/", true},
        {"file:///etc/passwd", false},           {"/usr/bin/xterm", false},
        {"smb://host/share/run.desktop", false}, {"steam://run/65790", false},
        {"garrison-helper://x", false},          {"http:///etc/passwd", false},
        {"http://example.org/a b", false},       {"http://example.org/\nfile:///etc/passwd", false},
    };
    for (const auto &c : cases) {
        peers::CentralConfig config;
        config.address = test::uniqueLoopbackAddress();
        config.port = 48200;
        config.newsText = "News";
        config.link = c.link;
        peers::CentralPeer central(config);
        ASSERT_TRUE(central.start());
        LinuxSettings linuxSettings;
        linuxSettings.centralHost = dottedAddress(config.address) + ":48200";
        ASSERT_TRUE(LinuxSettings::save(linuxSettings, temp / LinuxSettings::kFileName));
        view = RecordingMainView{};
        auto &main = start();
        ASSERT_TRUE(tickUntil([&] { return view.linkTarget == c.link; })) << c.link;
        view.actions.clear();
        main.linkClicked();
        main.bannerClicked();
        const std::string said = c.opened ? "open " + c.link
                                          : "notice Garrison opens only http and https links. This one is not "
                                            "opened: " +
                                                c.link;
        EXPECT_EQ(view.actions, (Names{said, said})) << c.link;
        controller.reset();
    }
}

TEST_F(MainControllerTest, BrowserListsTheCentralServersEntriesAndTakesOne)
{
    EXPECT_EQ(start().openBrowser(), nullptr) << "no central server is set";
    controller.reset();

    peers::CentralConfig config;
    config.address = test::uniqueLoopbackAddress();
    const BrowserEntry coop{0x0a00000a, 2302, 7, 1, "Evening coop"};
    const BrowserEntry cti{0x0b00000a, 2402, 0, 0, "CTI"};
    config.entries = {coop, cti, coop};
    peers::CentralPeer central(config);
    ASSERT_TRUE(central.start());
    LinuxSettings linuxSettings;
    linuxSettings.centralHost = dottedAddress(config.address);
    ASSERT_TRUE(LinuxSettings::save(linuxSettings, temp / LinuxSettings::kFileName));
    settings.servers = {networkEntry("10.0.0.11:2402", "Known CTI")};
    auto &main = start();

    const auto browser = main.openBrowser();
    ASSERT_NE(browser, nullptr);
    ASSERT_TRUE(eventually([&] {
        browser->poll();
        return browser->rows(true, true).size() == 2;
    }));
    EXPECT_EQ(browser->state(), AddonBrowser::State::Asked);
    const auto row = [](const BrowserRow &r) {
        return r.name + "|" + r.players + "|" + r.address;
    };
    EXPECT_EQ(row(browser->rows(true, true)[0]), "Evening coop|7|10.0.0.10:2302");
    EXPECT_EQ(row(browser->rows(true, true)[1]), "CTI|0|10.0.0.11:2402");
    EXPECT_EQ(browser->rows(false, true).size(), 1u);
    EXPECT_EQ(browser->rows(false, true)[0].name, "CTI");
    EXPECT_TRUE(browser->rows(false, false).empty());

    // An address already listed is selected, a new one added.
    main.chooseBrowsedServer("10.0.0.11:2402");
    EXPECT_EQ(view.rows, Names{"Known CTI"});
    EXPECT_EQ(main.selectedIndex(), 0);
    main.chooseBrowsedServer("10.0.0.10:2302");
    EXPECT_EQ(view.rows, (Names{"Known CTI", "10.0.0.10:2302"}));
    EXPECT_EQ(main.selectedIndex(), 1);
    EXPECT_EQ(view.address, "10.0.0.10:2302");
}

TEST_F(MainControllerTest, AnUnknownCentralHostIsSaid)
{
    LinuxSettings linuxSettings;
    linuxSettings.centralHost = "no-such-host.invalid";
    ASSERT_TRUE(LinuxSettings::save(linuxSettings, temp / LinuxSettings::kFileName));
    const auto browser = start().openBrowser();
    ASSERT_NE(browser, nullptr);
    ASSERT_TRUE(eventually([&] {
        browser->poll();
        return browser->state() != AddonBrowser::State::Resolving;
    }));
    EXPECT_EQ(browser->state(), AddonBrowser::State::HostUnknown);
}

} // namespace
