#include "monitor/MonitorCycle.h"

#include "lang/LanguageLoader.h"

#include <gtest/gtest.h>

#include <map>

using namespace garrison;

namespace {

// Keeps what the window would show and logs the actions.
class RecordingView : public MonitorDisplay, public MonitorDecisions {
public:
    std::map<MonitorField, std::string> fields;
    std::string managerCaption, linkCaption;
    std::vector<std::string> actions;                      // "sound N", "flash", "play now", "rename X", ...
    std::vector<std::pair<std::string, std::string>> rows; // name, "score/deaths"
    bool notify = true, launch = false, alarm = false, launchEnabled = false, scanEnded_ = false;
    std::optional<SelectedServer> selected;

    void setFieldText(MonitorField field, const std::string &text) override { fields[field] = text; }
    void setManagerCaption(const std::string &text) override { managerCaption = text; }
    void setLinkCaption(const std::string &text) override { linkCaption = text; }
    void showLinkButton(bool shown) override { actions.push_back(shown ? "link shown" : "link hidden"); }
    void enableLaunchBox(bool enabled) override { launchEnabled = enabled; }
    void clearLaunchBox() override { launch = false; }
    bool notifyChecked() const override { return notify; }
    bool launchChecked() const override { return launch; }
    bool alarmChecked() const override { return alarm; }
    void flashCaption() override { actions.push_back("flash"); }
    void playSound(int id) override { actions.push_back("sound " + std::to_string(id)); }
    void runPlayNow() override { actions.push_back("play now"); }
    void insertPlayerRow(std::size_t index, const std::string &name) override
    {
        ASSERT_EQ(index, rows.size());
        rows.push_back({name, ""});
    }
    void setPlayerRow(std::size_t index, const std::string &score, const std::string &deaths) override
    {
        rows.at(index).second = score + "/" + deaths;
    }
    void removePlayerRow(std::size_t index) override { rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(index)); }
    std::optional<SelectedServer> selectedServer() const override { return selected; }
    void renameSelectedServer(const std::string &name) override
    {
        actions.push_back("rename " + name);
        selected->name = name;
    }
    bool scanHasEnded() const override { return scanEnded_; }
    void scanEnded() override { actions.push_back("scan ended"); }
    void showScanProgress() override { actions.push_back("scan progress"); }
    void offeredListArrived() override { actions.push_back("list arrived"); }
    void startNewsPicture(const std::string &url) override { actions.push_back("picture " + url); }

    std::vector<std::string> take() { return std::exchange(actions, {}); }
};

using Actions = std::vector<std::string>;

class MonitorCycleTest : public ::testing::Test {
protected:
    MonitorCycleTest() : cycle(view, view, status, language, offered)
    {
        status.record.implementation = Implementation::Sockets;
        cycle.setMonitoring(true);
    }

    // Runs one tick with the server in state; what the view was asked to do.
    Actions tickIn(std::uint32_t state)
    {
        status.record.gameState = state;
        now += MonitorCycle::kTickMs;
        cycle.tick(now);
        return view.take();
    }

    static inline const LanguageTable language = loadLanguageTable("/nonexistent/garrisonlanguage.ini");
    RecordingView view;
    StatusStore status;
    MemoryStream offered;
    MonitorCycle cycle;
    std::uint32_t now = 100000;
};

TEST_F(MonitorCycleTest, AnnouncementsAndTheirSounds)
{
    const struct {
        const char *name;
        std::vector<std::uint32_t> states;
        Actions sounds;
    } cases[] = {
        {"playing then debriefing", {14, 14, 9, 9, 9}, {"sound 139", "flash", "sound 140", "flash"}},
        {"setting up, then briefing silently", {12, 13, 14}, {"sound 138", "flash", "sound 139", "flash"}},
        {"waiting, then briefing rings", {6, 13}, {"sound 137", "flash", "sound 138", "flash"}},
        {"idle and unknown codes are not recorded", {14, 0, 14, 7, 14}, {"sound 139", "flash"}},
        {"editing a mission is recorded silently", {4, 2}, {"sound 135", "flash"}},
    };
    for (const auto &c : cases) {
        status.clear();
        status.record.implementation = Implementation::Sockets;
        Actions heard;
        for (const auto state : c.states) {
            const auto actions = tickIn(state);
            heard.insert(heard.end(), actions.begin(), actions.end());
        }
        EXPECT_EQ(heard, c.sounds) << c.name;
    }
    EXPECT_EQ(view.fields[MonitorField::Status], "Creating");
    tickIn(7);
    EXPECT_EQ(view.fields[MonitorField::Status], "7");
}

TEST_F(MonitorCycleTest, NotifyOffThenOnMissesTheChange)
{
    tickIn(14);
    view.notify = false;
    EXPECT_TRUE(tickIn(9).empty());
    view.notify = true;
    EXPECT_TRUE(tickIn(9).empty());
    EXPECT_EQ(tickIn(14), (Actions{"sound 139", "flash"}));
}

TEST_F(MonitorCycleTest, GameEndLaunchesOnceAndTheAlarmRingsEveryTwoSeconds)
{
    view.launch = true;
    tickIn(14);
    EXPECT_TRUE(view.launchEnabled);
    view.notify = false;
    EXPECT_EQ(tickIn(9), Actions{"play now"});
    EXPECT_FALSE(view.launch);
    EXPECT_FALSE(view.launchEnabled);
    EXPECT_TRUE(tickIn(9).empty());

    view.alarm = true;
    int rings = 0;
    for (int tick = 0; tick < 20; ++tick) { // ten seconds
        const auto actions = tickIn(9);
        rings += static_cast<int>(std::count(actions.begin(), actions.end(), "sound 161"));
        if (!actions.empty()) {
            EXPECT_EQ(cycle.tickCounter() % 4, 0u);
        }
    }
    EXPECT_EQ(rings, 5);
    // Silent while no game has ended (notify is off, so nothing else plays).
    for (const std::uint32_t running : {0u, 12u, 13u, 14u}) {
        for (int tick = 0; tick < 4; ++tick)
            EXPECT_TRUE(tickIn(running).empty()) << running;
    }
}

TEST_F(MonitorCycleTest, FieldTexts)
{
    ServerStatus &r = status.record;
    r.description = "Dedicated server on Coop Night";
    r.mission = "1-8 Rescue";
    r.players = 5;
    r.maxPlayers = "30";
    r.gameName = "opflashr";
    r.platform = "linux";
    r.param1 = "1";
    r.param2 = "2";
    r.passwordRequired = true;
    r.equalModRequired = 1;
    r.implementation = Implementation::DirectPlay;
    tickIn(14);
    const std::map<MonitorField, std::string> wanted = {
        {MonitorField::Description, "Dedicated server on Coop Night"},
        {MonitorField::Mission, "1-8 Rescue"},
        {MonitorField::ServerType, "Flashpoint Resistance"},
        {MonitorField::LoggedOn, "5/30"},
        {MonitorField::Map, ""},
        {MonitorField::Param, "1, 2"},
        {MonitorField::Platform, "Linux"},
        {MonitorField::Version, "0"},
        {MonitorField::RequiredVersion, "0"},
        {MonitorField::Ping, "0"},
        {MonitorField::Port, "0"},
        {MonitorField::Locked, "Yes"},
        {MonitorField::Implementation, "DirectPlay"},
        {MonitorField::EqualMods, "Yes"},
        {MonitorField::Status, "Playing"},
        {MonitorField::Elapsed, "n/a"},
        {MonitorField::AutoAddon, "n/a"},
    };
    EXPECT_EQ(view.fields, wanted);

    // Other game names and platforms show as they are; VBS1 names itself.
    r.gameName = "";
    r.implementation = Implementation::Vbs1;
    r.platform = "amiga";
    tickIn(14);
    EXPECT_EQ(view.fields[MonitorField::ServerType], "VBS1");
    EXPECT_EQ(view.fields[MonitorField::Platform], "amiga");
    EXPECT_EQ(view.fields[MonitorField::Implementation], "Sockets");
}

TEST_F(MonitorCycleTest, TimeLeftFifteenMeansUnknownUnlessAfterSixteen)
{
    // Answers in turn, and what the field shows after each.
    const std::pair<const char *, const char *> steps[] = {
        {"15", "Unknown"}, {"16", "16"}, {"15", "15"}, {"", "15"}, {"3", "3"}, {"15", "Unknown"},
    };
    for (const auto &[answer, shown] : steps) {
        status.record.timeLeft = answer;
        tickIn(14);
        EXPECT_EQ(view.fields[MonitorField::TimeLeft], shown) << answer;
    }
}

TEST_F(MonitorCycleTest, ElapsedClock)
{
    tickIn(13);
    EXPECT_EQ(view.fields[MonitorField::Elapsed], "n/a"); // no change seen yet
    tickIn(14);                                           // starts now
    for (int tick = 0; tick < 7321 * 2; ++tick)
        tickIn(14);
    EXPECT_EQ(view.fields[MonitorField::Elapsed], "02:02:01");
    tickIn(9);
    EXPECT_EQ(view.fields[MonitorField::Elapsed], "00:00:00");

    // A base from the Auto-Addon server: the mission started 65 s ago.
    status.clear();
    status.record.implementation = Implementation::Sockets;
    status.record.elapsedKnown = true;
    status.record.elapsedState = 14;
    status.record.elapsedBase = 65000;
    status.record.elapsedStart = now;
    tickIn(14);
    EXPECT_EQ(view.fields[MonitorField::Elapsed], "00:01:05");
}

TEST_F(MonitorCycleTest, PlayersKeepTheirRows)
{
    status.record.playerList = {{"Alice", "1", "0"}, {"Bob", "2", "1"}, {"Carol", "0", "0"}};
    tickIn(14);
    status.record.playerList = {{"Carol", "3", "0"}, {"Alice", "1", "2"}, {"Dave", "0", "0"}};
    tickIn(14);
    const std::vector<std::pair<std::string, std::string>> wanted = {
        {"Alice", "1/2"}, {"Carol", "3/0"}, {"Dave", "0/0"}};
    EXPECT_EQ(view.rows, wanted);
    status.record.playerList.clear();
    tickIn(14);
    EXPECT_TRUE(view.rows.empty());
}

TEST_F(MonitorCycleTest, UnnamedServerTakesItsDescription)
{
    const struct {
        std::string name;
        std::string description;
        Actions actions;
    } cases[] = {
        {"10.0.0.1:2302", "Dedicated server on Coop Night", {"rename Coop Night"}},
        {"10.0.0.1:2302", "Coop Night", {"rename Coop Night"}},
        {"My server", "Coop Night", {}},
        {"10.0.0.1:2302", "", {}},
    };
    for (const auto &c : cases) {
        status.clear();
        status.record.implementation = Implementation::Sockets;
        status.record.description = c.description;
        view.selected = SelectedServer{c.name, "10.0.0.1:2302"};
        view.notify = false;
        EXPECT_EQ(tickIn(0), c.actions) << c.name << " / " << c.description;
        EXPECT_TRUE(tickIn(0).empty()); // once renamed, it stays
    }
}

// A server that never answers says so after ten seconds, counting on; its
// first answer puts its own description back, an empty one too.
TEST_F(MonitorCycleTest, ASilentServerSaysSoUntilItAnswers)
{
    status.record.implementation = Implementation::Unknown;
    view.selected = SelectedServer{"Club", "127.0.0.1:2999"};
    cycle.selectionChanged();
    for (int tick = 0; tick < 20; ++tick) {
        tickIn(0);
        EXPECT_EQ(view.fields[MonitorField::Description], "") << "tick " << tick;
    }
    tickIn(0);
    EXPECT_EQ(view.fields[MonitorField::Description], "No answer from 127.0.0.1:2999 for 10 s");
    tickIn(0);
    tickIn(0);
    EXPECT_EQ(view.fields[MonitorField::Description], "No answer from 127.0.0.1:2999 for 11 s");

    status.record.implementation = Implementation::Sockets;
    tickIn(0);
    EXPECT_EQ(view.fields[MonitorField::Description], "");

    // Chosen anew: the count starts again.
    status.record.implementation = Implementation::Unknown;
    cycle.selectionChanged();
    tickIn(0);
    EXPECT_EQ(view.fields[MonitorField::Description], "");
}

TEST_F(MonitorCycleTest, AutoAddonFieldAndHandOver)
{
    view.notify = false;
    tickIn(0);
    EXPECT_EQ(view.fields[MonitorField::AutoAddon], "n/a");
    status.addonDatabaseReady = true;
    cycle.scanStarted(now);
    tickIn(0);
    EXPECT_EQ(view.fields[MonitorField::AutoAddon], "n/a"); // the scan runs
    EXPECT_EQ(tickIn(0), Actions{});
    EXPECT_EQ(tickIn(0), Actions{});
    EXPECT_EQ(tickIn(0), Actions{"scan progress"}); // two seconds into the scan, once
    EXPECT_EQ(tickIn(0), Actions{});

    status.record.addonServerState = AddonServerState::Transferring;
    status.record.expectedChunks = 2;
    status.record.receivedChunks = 2;
    status.offeredList = std::vector<std::uint8_t>{'a', 'b', 'c'};
    EXPECT_EQ(tickIn(0), Actions{}); // not before the scan has ended
    view.scanEnded_ = true;
    EXPECT_EQ(tickIn(0), (Actions{"scan ended", "list arrived"}));
    EXPECT_EQ(view.fields[MonitorField::AutoAddon], "Yes");
    EXPECT_FALSE(status.offeredList);
    ASSERT_EQ(offered.size(), 3u);
    EXPECT_EQ(offered.position(), 0u);
    EXPECT_EQ(tickIn(0), Actions{});

    status.record.addonServerState = AddonServerState::NotAnswered;
    tickIn(0);
    EXPECT_EQ(view.fields[MonitorField::AutoAddon], "Querying");
}

TEST_F(MonitorCycleTest, CaptionsBlink)
{
    cycle.setMonitoring(false);
    cycle.setDownloadsWanted(true);
    std::vector<std::string> captions;
    for (int tick = 0; tick < 2; ++tick) {
        tickIn(0);
        captions.push_back(view.managerCaption);
    }
    EXPECT_EQ(captions, (std::vector<std::string>{"Download", "Addons"}));
    cycle.setDownloadsWanted(false);
    tickIn(0);
    EXPECT_EQ(view.managerCaption, "Manager");

    status.news = {"http://x/banner.gif", "Upgrade now", "http://x/g.ozp", true};
    EXPECT_EQ(tickIn(0), (Actions{"picture http://x/banner.gif", "link shown"}));
    std::string link;
    for (int tick = 0; tick < 4; ++tick) {
        tickIn(0);
        link += view.linkCaption.empty() ? "_" : "T";
    }
    EXPECT_EQ(std::count(link.begin(), link.end(), '_'), 1);
    // While the upgrade downloads, its progress replaces the news.
    status.upgradeStatus = "40% downloaded";
    tickIn(0);
    EXPECT_EQ(view.linkCaption, "40% downloaded");
}

TEST_F(MonitorCycleTest, NewsWithoutTextHidesTheLink)
{
    status.news = {"http://x/banner.gif", "", "", false};
    EXPECT_EQ(tickIn(14), (Actions{"picture http://x/banner.gif", "link hidden", "sound 139", "flash"}));
    EXPECT_EQ(tickIn(14), Actions{});
}

} // namespace
