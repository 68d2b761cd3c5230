#include "servers/ServerSetup.h"
#include "servers/ModList.h"

#include <gtest/gtest.h>

using namespace garrison;

namespace {

using Names = std::vector<std::string>;

ServerEntry networkEntry(std::string manualMods)
{
    ServerEntry entry;
    entry.address = "10.0.0.1:2302";
    entry.name = "Club";
    entry.manualMods = std::move(manualMods);
    return entry;
}

ServerSetupInputs inputs(Names folders, bool editing = true)
{
    ServerSetupInputs in;
    in.modFolders = std::move(folders);
    in.editing = editing;
    return in;
}

TEST(ServerSetup, ANewEntryOpensAsANetworkServerWithAutomaticMods)
{
    ServerSetup setup(inputs({"finmod"}, false), ServerEntry{});
    EXPECT_FALSE(setup.values().local);
    EXPECT_TRUE(setup.values().automaticModSelection);
    EXPECT_FALSE(setup.values().loadServerMods);
    EXPECT_FALSE(setup.descriptionEnabled());
    EXPECT_FALSE(setup.autoDetectEnabled());
    EXPECT_TRUE(setup.networkFieldsEnabled());
    setup.setLocal(true);
    EXPECT_TRUE(setup.descriptionEnabled());
    EXPECT_FALSE(setup.networkFieldsEnabled());
}

TEST(ServerSetup, ManualModsAreSplitTrimmedAndTakenOutOfTheAvailableOnesIgnoringCase)
{
    ServerSetup setup(inputs({"b", "A", "Zeta", "alpha"}), networkEntry(" a ; ;B;b"));
    EXPECT_EQ(setup.toLoad(), (Names{"a", "B", "b"}));
    // "A" taken by "a", "b" by "B"; the second "b" finds nothing left and is loaded all the same.
    EXPECT_EQ(setup.available(), (Names{"alpha", "Zeta"}));
    EXPECT_EQ(setup.result().manualMods, "a;B;b");
}

TEST(ServerSetup, ListEditingKeepsTheOrderAndTheSortedSide)
{
    ServerSetup setup(inputs({"x", "y", "z", "w"}), networkEntry(""));
    ASSERT_EQ(setup.available(), (Names{"w", "x", "y", "z"}));
    EXPECT_EQ(setup.add(1), 0); // x
    EXPECT_EQ(setup.add(1), 1); // y
    EXPECT_EQ(setup.add(1), 2); // z
    EXPECT_EQ(setup.toLoad(), (Names{"x", "y", "z"}));
    EXPECT_EQ(setup.result().manualMods, "x;y;z");

    EXPECT_EQ(setup.up(0), -1);   // the first stays
    EXPECT_EQ(setup.down(2), -1); // the last stays
    EXPECT_EQ(setup.add(5), -1);  // nothing there
    EXPECT_EQ(setup.remove(-1), -1);
    EXPECT_EQ(setup.toLoad(), (Names{"x", "y", "z"}));

    EXPECT_EQ(setup.up(2), 1);
    EXPECT_EQ(setup.toLoad(), (Names{"x", "z", "y"}));
    EXPECT_EQ(setup.down(0), 1);
    EXPECT_EQ(setup.toLoad(), (Names{"z", "x", "y"}));
    EXPECT_EQ(setup.remove(1), 1); // x goes back after w
    EXPECT_EQ(setup.available(), (Names{"w", "x"}));
    EXPECT_EQ(setup.remove(0), 2);
    EXPECT_EQ(setup.remove(0), 2);
    EXPECT_EQ(setup.available(), (Names{"w", "x", "y", "z"}));
    EXPECT_EQ(setup.result().manualMods, "");
}

TEST(ServerSetup, TheTwoModChoicesExcludeEachOther)
{
    ServerSetup setup(inputs({}), networkEntry(""));
    setup.setLoadServerMods(true);
    EXPECT_FALSE(setup.values().automaticModSelection);
    setup.setAutomaticModSelection(true);
    EXPECT_FALSE(setup.values().loadServerMods);
    setup.setAutomaticModSelection(false);
    EXPECT_FALSE(setup.values().loadServerMods); // unchecking changes nothing else

    auto both = networkEntry("");
    both.loadServerMods = true;
    both.automaticModSelection = true;
    EXPECT_FALSE(ServerSetup(inputs({}), both).values().automaticModSelection);
}

TEST(ServerSetup, TheAutoDetectButtonNeedsAListAnEditAndAnUntouchedAddress)
{
    auto in = inputs({"finmod", "res2", "other"});
    in.offeredListReceived = true;
    in.autoDetectedMods = "res2;FINMOD";
    ServerSetup setup(in, networkEntry("other"));
    EXPECT_TRUE(setup.autoDetectEnabled());
    setup.useAutoDetected();
    EXPECT_EQ(setup.toLoad(), (Names{"res2", "FINMOD"}));
    EXPECT_EQ(setup.available(), (Names{"other"}));

    setup.addressEdited();
    EXPECT_FALSE(setup.autoDetectEnabled());
    setup.setTexts("10.0.0.1:2302", "", "Club", "", ""); // the old text again
    EXPECT_FALSE(setup.autoDetectEnabled());

    in.editing = false;
    EXPECT_FALSE(ServerSetup(in, networkEntry("")).autoDetectEnabled());
    in.editing = true;
    in.offeredListReceived = false;
    EXPECT_FALSE(ServerSetup(in, networkEntry("")).autoDetectEnabled());
}

TEST(ServerSetup, CopyFromOffersTwoHundredEntriesAndTakesEveryValue)
{
    auto in = inputs({"a", "b"});
    for (int i = 0; i < 250; ++i) {
        ServerEntry entry = networkEntry(i == 7 ? "b" : "");
        entry.name = std::string(60, 'n') + std::to_string(i);
        entry.local = i == 7;
        entry.executable = "game" + std::to_string(i) + ".exe";
        in.servers.push_back(entry);
    }
    ServerSetup setup(in, networkEntry(""));
    const auto names = setup.copyFromNames();
    ASSERT_EQ(names.size(), 200u);
    EXPECT_EQ(names[0], std::string(50, 'n'));
    setup.copyFrom(7);
    EXPECT_TRUE(setup.values().local);
    EXPECT_EQ(setup.values().executable, "game7.exe");
    EXPECT_EQ(setup.toLoad(), (Names{"b"}));
    EXPECT_EQ(setup.available(), (Names{"a"}));
    EXPECT_FALSE(setup.autoDetectEnabled());
    setup.copyFrom(230); // beyond the menu
    EXPECT_EQ(setup.values().executable, "game7.exe");
}

TEST(ServerSetup, OkTrimsTheTextsButNotThePassword)
{
    ServerSetup setup(inputs({}), networkEntry(""));
    setup.setTexts("  club.example.org:2302 ", " secret ", "\tClub ", " -name=X ", " FLASHPOINTRESISTANCE.EXE ");
    const auto entry = setup.result();
    EXPECT_EQ(entry.address, "club.example.org:2302");
    EXPECT_EQ(entry.password, " secret ");
    EXPECT_EQ(entry.name, "Club");
    EXPECT_EQ(entry.startupParameters, "-name=X");
    EXPECT_EQ(entry.executable, "FLASHPOINTRESISTANCE.EXE");
}

TEST(ServerSetup, AFolderFromTheBrowserIsLoadedOnce)
{
    ServerSetup setup(inputs({"finmod"}), networkEntry(""));
    EXPECT_TRUE(setup.addFolder("FinMod"));
    EXPECT_FALSE(setup.addFolder("finmod"));
    EXPECT_FALSE(setup.addFolder("  "));
    EXPECT_TRUE(setup.addFolder("mods\\deep"));
    EXPECT_EQ(setup.toLoad(), (Names{"FinMod", "mods\\deep"}));
    EXPECT_TRUE(setup.available().empty());
}

TEST(ModList, SplitAndJoin)
{
    EXPECT_EQ(splitModList(""), Names{});
    EXPECT_EQ(splitModList(";;"), Names{});
    EXPECT_EQ(splitModList(" a ; ;B;b"), (Names{"a", "B", "b"}));
    EXPECT_EQ(joinModList({"x", "y", "z"}), "x;y;z");
    EXPECT_EQ(joinModList({}), "");
}

} // namespace
