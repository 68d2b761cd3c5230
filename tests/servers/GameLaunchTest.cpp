#include "servers/GameLaunch.h"
#include "lang/LanguageLoader.h"
#include "servers/GameStarter.h"
#include "support/Loopback.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace garrison;

namespace {

// Answers from a script; records what the launch did.
class ScriptedView : public LaunchView {
public:
    EqualModAnswer equalMods = EqualModAnswer::Force;
    MissingAnswer missing = MissingAnswer::Force;
    bool missingModOk = true;
    std::vector<std::string> log;
    std::string commandLine;
    bool startWorks = true;

    EqualModAnswer askEqualMods() override { return log.push_back("ask equal mods"), equalMods; }
    MissingAnswer askMissingPackages(const std::vector<std::string> &packages) override
    {
        std::string names;
        for (const auto &package : packages)
            names += " " + package;
        return log.push_back("ask missing packages:" + names), missing;
    }
    bool confirmMissingMod(const std::string &folder) override
    {
        log.push_back("missing mod " + folder);
        return missingModOk;
    }
    void openManager() override { log.push_back("manager"); }
    void clearLaunchAndAlarm() override { log.push_back("clear launch and alarm"); }
    void clearLaunchBox() override { log.push_back("clear launch"); }
    void showError(const std::string &label) override { log.push_back("error " + label); }
    bool start(const std::string &gameFolder, const std::string &executable, const std::string &parameters) override
    {
        commandLine = gameCommandLine(gameFolder, executable, parameters);
        log.push_back("start");
        return startWorks;
    }
    void launched(bool keepRunning) override { log.push_back(keepRunning ? "minimise" : "close"); }
    void settingsChanged() override { log.push_back("save settings"); }
};

class GameLaunchTest : public ::testing::Test {
protected:
    GameLaunchTest()
    {
        options.gameFolder = game.path();
        entry.address = "10.0.0.1:2302";
        status.implementation = Implementation::Sockets;
        status.version = 199;
        status.port = 2302;
        situation = {&entry, &options, &status, nullptr, false, {}, true};
    }
    std::string launch()
    {
        view.commandLine.clear();
        launchGame(situation, view, "10.0.0.1", "2302");
        return view.commandLine;
    }
    std::string quoted(const std::string &executable) { return "\"" + game.path() + executable + "\" "; }

    test::TempFolder game;
    Options options;
    ServerEntry entry;
    ServerStatus status;
    LaunchSituation situation;
    ScriptedView view;
};

TEST_F(GameLaunchTest, CommandLines)
{
    entry.local = true;
    EXPECT_EQ(launch(), quoted("FLASHPOINTRESISTANCE.EXE") + "-nosplash");
    entry.local = false;

    entry.startupParameters = "-name=X";
    options.alwaysNoMap = true;
    EXPECT_EQ(launch(), quoted("FLASHPOINTRESISTANCE.EXE") + "-name=X -nosplash -connect=10.0.0.1 -port=2302 -nomap");
    entry.startupParameters.clear();
    options.alwaysNoMap = false;

    entry.password = "pw";
    EXPECT_EQ(launch(), quoted("FLASHPOINTRESISTANCE.EXE") + "-nosplash -connect=10.0.0.1 -port=2302");
    status.passwordRequired = true;
    entry.manualMods = "m";
    EXPECT_EQ(launch(),
              quoted("FLASHPOINTRESISTANCE.EXE") + "-nosplash -connect=10.0.0.1 -port=2302 -password=pw -mod=m");

    status.version = 150;
    EXPECT_EQ(launch().substr(0, quoted("OPERATIONFLASHPOINT.EXE").size()), quoted("OPERATIONFLASHPOINT.EXE"));
    status.version = 194;
    game.write("FLASHPOINT192BETA.EXE", "beta");
    EXPECT_EQ(launch().substr(0, quoted("FLASHPOINT192BETA.EXE").size()), quoted("FLASHPOINT192BETA.EXE"));
    entry.executable = "Custom.exe";
    EXPECT_EQ(launch().substr(0, quoted("Custom.exe").size()), quoted("Custom.exe"));
}

TEST_F(GameLaunchTest, Vbs1AndTheSteamEdition)
{
    status.implementation = Implementation::Vbs1;
    EXPECT_EQ(launch(), quoted("rb.exe") + "BIN\\VBS1.BIN -nosplash -connect=10.0.0.1 -port=2302");
    entry.startupParameters = "bin\\other.bin";
    EXPECT_EQ(launch(), quoted("rb.exe") + "bin\\other.bin -nosplash -connect=10.0.0.1 -port=2302");

    status.implementation = Implementation::Sockets;
    entry.startupParameters.clear();
    game.write("ColdWarAssault.exe", "steam");
    EXPECT_EQ(launch(), quoted("ColdWarAssault.exe") + "-nosplash -connect=10.0.0.1 -port=2302");
}

TEST_F(GameLaunchTest, ModLists)
{
    entry.loadServerMods = true;
    status.mod = "RES;abc;def";
    situation.listedFolders = {"ABC"};
    EXPECT_EQ(launch(), quoted("FLASHPOINTRESISTANCE.EXE") + "-nosplash -connect=10.0.0.1 -port=2302 -mod=abc;def");
    EXPECT_EQ(view.log, (std::vector<std::string>{"missing mod def", "start"}));
    view.missingModOk = false;
    EXPECT_FALSE(launchGame(situation, view, "10.0.0.1", "2302"));

    // Automatic mods first, then the manual ones.
    const LanguageTable language = loadLanguageTable("/nonexistent/garrisonlanguage.ini");
    AddonDatabase database(language);
    database.setGameFolder(game.path());
    database.makeRoot();
    situation.database = &database;
    situation.databaseReady = true;
    entry.loadServerMods = false;
    entry.automaticMods = "a";
    entry.manualMods = "b";
    EXPECT_EQ(launch(), quoted("FLASHPOINTRESISTANCE.EXE") + "-nosplash -connect=10.0.0.1 -port=2302 -mod=a;b");
}

TEST_F(GameLaunchTest, PlayNowChecks)
{
    options.keepRunningAfterLaunch = false;
    status.equalModRequired = 1;
    entry.manualMods = "mine";
    view.equalMods = LaunchView::EqualModAnswer::Cancel;
    playNow(situation, view);
    EXPECT_EQ(view.log, std::vector<std::string>{"ask equal mods"});

    view.log.clear();
    view.equalMods = LaunchView::EqualModAnswer::Accept;
    entry.address = "127.0.0.1";
    playNow(situation, view);
    EXPECT_TRUE(entry.loadServerMods);
    EXPECT_TRUE(entry.manualMods.empty());
    EXPECT_EQ(view.log,
              (std::vector<std::string>{"ask equal mods", "save settings", "start", "close", "clear launch"}));
    EXPECT_EQ(view.commandLine, quoted("FLASHPOINTRESISTANCE.EXE") + "-nosplash -connect=127.0.0.1 -port=2302");

    view.log.clear();
    status.equalModRequired = 0;
    entry.address = "no-such-host.invalid:2302";
    playNow(situation, view);
    EXPECT_EQ(view.log, std::vector<std::string>{"error DSTR_MAIN_LAUNCHERR_ADDR"});

    view.log.clear();
    status.implementation = Implementation::Unknown;
    playNow(situation, view);
    EXPECT_TRUE(view.log.empty()); // the server never answered

    view.log.clear();
    entry.local = true;
    view.startWorks = false;
    playNow(situation, view);
    EXPECT_EQ(view.log, (std::vector<std::string>{"start", "error DSTR_MAIN_LAUNCHERR_OFPR", "clear launch"}));
}

TEST(GameStarter, RunsTheRunnerInTheGameFolder)
{
    test::TempFolder folder;
    folder.write("Game Folder/OperationFlashpoint.exe", "exe");
    const std::string record = folder / "argv.txt";
    const std::string script =
        folder.write("runner.sh", "#!/bin/sh\n{ pwd; echo \"$WINEPREFIX\"; for a in \"$@\"; do "
                                  "echo \"[$a]\"; done; } > '" +
                                      record + ".tmp'\nmv '" + record + ".tmp' '" + record + "'\n");
    std::filesystem::permissions(script, std::filesystem::perms::owner_exec, std::filesystem::perm_options::add);
    const GameRunner runner{{script, "--flag"}, "/prefix"};
    // As launchGame writes it, in the game's code page: a typed name, a password with a space and a quote,
    // a mod folder with an umlaut.
    ASSERT_EQ("", startGame(runner, folder / "Game Folder/", "OPERATIONFLASHPOINT.EXE",
                            "-nosplash -name=\"J\xf6rg \xdc\" \"-password=p w\\\"x\" -mod=@M\xfcll"));
    ASSERT_TRUE(test::eventually([&] { return std::filesystem::exists(record); }));
    std::ifstream in(record);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    const std::vector<std::string> wanted = {
        std::filesystem::canonical(folder / "Game Folder").string(),
        "/prefix",
        "[--flag]",
        "[" + folder / "Game Folder/OperationFlashpoint.exe]",
        "[-nosplash]",
        "[-name=J\xc3\xb6rg \xc3\x9c]",
        "[-password=p w\"x]",
        "[-mod=@M\xc3\xbcll]",
    };
    EXPECT_EQ(lines, wanted);
    EXPECT_EQ(
        startGame(GameRunner{{"/nonexistent/runner"}, {}}, folder.path(), "x.exe", ""),
        "the runner \"/nonexistent/runner\" was not found (\"runner\" in garrison-linux.conf; is Wine installed?)");
    EXPECT_EQ(startGame(GameRunner{{"wine-not-here"}, {}}, folder.path(), "x.exe", ""),
              "the runner \"wine-not-here\" was not found in PATH (\"runner\" in garrison-linux.conf; is Wine "
              "installed?)");
    const std::string notExecutable = folder.write("not-a-program", "text");
    EXPECT_EQ(startGame(GameRunner{{notExecutable}, {}}, folder.path(), "x.exe", ""),
              "the runner \"" + notExecutable +
                  "\" is not executable (\"runner\" in garrison-linux.conf; "
                  "is Wine installed?)");

    folder.write("garrison-linux.conf", "# how to run the game\nrunner = proton run\nwine_prefix = /p x\n");
    const auto loaded = GameRunner::load(folder / "garrison-linux.conf");
    EXPECT_EQ(loaded.runner, (std::vector<std::string>{"proton", "run"}));
    EXPECT_EQ(loaded.winePrefix, "/p x");
    EXPECT_EQ(GameRunner::load(folder / "missing").runner, std::vector<std::string>{"wine"});
}

} // namespace
