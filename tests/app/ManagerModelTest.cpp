#include "app/ManagerModel.h"

#include "aaserver/OfferedBlockWriter.h"
#include "addondb/DatabaseFile.h"
#include "addondb/OfferedBlock.h"
#include "addondb/ScannerFixture.h"
#include "autoaddon/OfferedModel.h"

#include <gtest/gtest.h>

#include <zlib.h>

#include <filesystem>

using namespace garrison;

namespace {

using Names = std::vector<std::string>;
using Rows = std::vector<std::size_t>;

std::uint32_t crcOf(const std::string &content)
{
    return static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef *>(content.data()), static_cast<uInt>(content.size())));
}

class ManagerModelTest : public ::testing::Test, public test::ScannerFixture {
protected:
    ManagerModelTest() : model(database, language()) {}

    // The texts of one column, row by row.
    Names column(std::size_t index) const
    {
        Names texts;
        for (const auto &row : model.rows())
            texts.push_back(row.columns[index]);
        return texts;
    }
    Names buttons() const
    {
        Names captions;
        for (std::size_t i = 0; i < ManagerModel::kButtons; ++i)
            captions.push_back(model.buttonCaption(i));
        return captions;
    }
    std::size_t rowOf(const std::string &name) const
    {
        for (std::size_t i = 0; i < model.rows().size(); ++i) {
            if (model.rows()[i].columns[0] == name)
                return i;
        }
        ADD_FAILURE() << name << " is not listed";
        return 0;
    }
    void offer(const std::vector<OfferedEntry> &packages)
    {
        OfferedContent content;
        content.serverTexts = {"Club", "Coop", "admin@example.org", ""};
        content.packages = packages;
        const auto block = writeOfferedBlock(content);
        ASSERT_TRUE(parseOfferedBlock(block, database.offered()));
        evaluateArrivedList(database.offered(), database);
    }

    ManagerModel model;
};

TEST_F(ManagerModelTest, TheServerViewShowsEachInstallStatusAndFlashesWhileSomethingIsFlagged)
{
    file("AddOns/have.pbo", "have");
    file("Res/AddOns/moved.pbo", "moved");
    file("AddOns/part1.pbo", "part1");
    scan();
    database.derive();
    offer({{"http://x/have.zip", 100, "Have", "", 7, {{"addons\\have.pbo", 4, crcOf("have")}}},
           {"http://x/moved.zip", 100, "Moved", "", 7, {{"addons\\moved.pbo", 5, crcOf("moved")}}},
           {"http://x/part.zip",
            100,
            "Part",
            "",
            4,
            {{"addons\\part1.pbo", 5, crcOf("part1")}, {"addons\\part2.pbo", 5, 1}}},
           {"http://x/new.zip", 2048 * 1024, "New", "", 2, {{"addons\\new.pbo", 3, 7}}}});
    model.show(ManagerView::Server);
    EXPECT_EQ(column(0), (Names{"Have", "Moved", "Part", "New"}));
    EXPECT_EQ(column(1), (Names{"Required", "Required", "Recommended", "Optional"}));
    EXPECT_EQ(column(2), (Names{"Files installed", "Installed path differ", "Missing files", "No file installed"}));
    EXPECT_EQ(buttons(), (Names{"Flag", "De-flag", "Show files", "", "", ""}));

    // Recommended and missing: flagged when the list arrived.
    ASSERT_TRUE(model.anythingFlagged());
    EXPECT_EQ(model.downloadCaption(0), "Addon packages");
    EXPECT_EQ(model.downloadCaption(1), "Download && Install");
    model.deflag({0, 1, 2, 3});
    EXPECT_FALSE(model.anythingFlagged());
    EXPECT_EQ(model.downloadCaption(0), "Download && Install");
    model.toggleFlags({3});
    EXPECT_TRUE(database.offered().packages[3].flagged);
    EXPECT_EQ(model.plannedDownloadText(), "2.00 MB to download");
    EXPECT_EQ(model.manualDownloadUrl({3, 0}), "http://x/new.zip");

    // Show files: the offered package's own list, read-only: no bind or unbind.
    model.showFiles({2});
    EXPECT_EQ(model.view(), ManagerView::Advanced);
    EXPECT_TRUE(model.readOnlyFiles());
    EXPECT_EQ(model.packageChoice(), -1);
    EXPECT_EQ(column(0), (Names{"addons\\", "part1.pbo", "part2.pbo"}));
    EXPECT_EQ(column(5), (Names{"Part", "Part", "Part"}));
    EXPECT_EQ(buttons(), (Names{"Activate", "Deactivate", "Select child", "Open folder", "", ""}));
    model.choosePackage(0);
    EXPECT_FALSE(model.readOnlyFiles());
    EXPECT_EQ(buttons(), (Names{"Activate", "Deactivate", "Select child", "Open folder", "Bind to", "Unbind"}));
}

TEST_F(ManagerModelTest, PackagesViewRowsAndTheQuestionBeforeHarmfulDeactivations)
{
    file("AddOns/6g30.pbo", "core");
    file("AddOns/mine.pbo", "mine");
    file("Missions/m.pbo", "m");
    scan();
    makePackage("Mine", {"AddOns\\mine.pbo"});
    model.show(ManagerView::Packages);
    EXPECT_EQ(column(0), (Names{"<Core files>", "<Unknown files>", "<Unknown addons>", "Mine"}));
    EXPECT_EQ(column(3)[3], "1/0");
    EXPECT_EQ(buttons(), (Names{"Activate", "Deactivate", "Edit", "Show files", "Dissolve", "Uninstall"}));

    // The core package asks; the others go at once.
    const auto ask = model.deactivatePackages({rowOf("<Core files>"), rowOf("Mine"), rowOf("<Unknown addons>")});
    EXPECT_EQ(ask, (Rows{kCorePackage}));
    EXPECT_EQ(node("AddOns\\mine.pbo")->status, NodeStatus::Inactive);
    EXPECT_EQ(node("AddOns\\6g30.pbo")->status, NodeStatus::Present);
    EXPECT_EQ(column(1)[rowOf("Mine")], "Inactive");
    model.deactivatePackage(kCorePackage);
    EXPECT_EQ(node("AddOns\\6g30.pbo")->status, NodeStatus::Inactive);
    model.activatePackages({rowOf("<Core files>"), rowOf("Mine")});
    EXPECT_EQ(node("AddOns\\6g30.pbo")->status, NodeStatus::Present);
    EXPECT_EQ(node("AddOns\\mine.pbo")->status, NodeStatus::Present);

    EXPECT_EQ(model.editPackage(3, "", "c"), PackageNameCheck::Empty);
    EXPECT_EQ(model.editPackage(3, "<core FILES>", "c"), PackageNameCheck::Taken);
    EXPECT_EQ(model.editPackage(3, "Tanks", "the comment"), PackageNameCheck::Ok);
    EXPECT_EQ(model.packageName(3), "Tanks");
    EXPECT_EQ(model.packageComment(3), "the comment");

    model.showFiles({rowOf("Tanks")});
    EXPECT_EQ(model.packageChoice(), 4);
    EXPECT_EQ(column(0), Names{"mine.pbo"});
    EXPECT_EQ(model.packageChoices().front(), "<All Packages>");
}

// By install date, newest first, whichever of the two was made first.
TEST_F(ManagerModelTest, TheNewestPackageSortsFirstByDate)
{
    file("AddOns/a.pbo");
    scan();
    makePackage("Old", {});
    makePackage("New", {});
    model.show(ManagerView::Packages);
    // Both later than the standard packages' date, the time of the scan.
    const FileTime later = currentFileTime() + 10000000;
    for (const auto &[oldDate, newDate] : {std::pair{later, later + 1}, std::pair{later + 1, later}}) {
        database.packages()[3].installDate = oldDate;
        database.packages()[4].installDate = newDate;
        model.sort(4);
        const Names names = column(0);
        const Names newestFirst = oldDate > newDate ? Names{"Old", "New"} : Names{"New", "Old"};
        EXPECT_EQ(Names(names.begin(), names.begin() + 2), newestFirst) << oldDate;
    }
}

TEST_F(ManagerModelTest, TheBindMenuListsTwoHundredPackagesAndNotTheStandardOnes)
{
    file("AddOns/a.pbo");
    scan();
    for (int i = 0; i < 202; ++i)
        makePackage("P" + std::to_string(i), {});
    ASSERT_EQ(database.packages().size(), 205u);
    const auto choices = model.bindChoices();
    ASSERT_EQ(choices.size(), 200u);
    EXPECT_EQ(choices[0], (std::pair<std::string, bool>{"<Core files>", false}));
    EXPECT_FALSE(choices[2].second);
    EXPECT_EQ(choices[3], (std::pair<std::string, bool>{"P0", true}));
    EXPECT_EQ(choices[199].first, "P196");

    model.choosePackage(0);
    model.bindTo({rowOf("a.pbo")}, 3);
    EXPECT_EQ(packagesOf("AddOns\\a.pbo"), Names{"P0"});
    // Bound again to the package it is in, and chosen twice: still listed once.
    model.choosePackage(4);
    model.bindTo({0, 0}, 3);
    EXPECT_EQ(model.rows().size(), 1u);
    EXPECT_EQ(node("AddOns\\a.pbo")->packageCount, 1);
    model.bindTo({rowOf("a.pbo")}, kCorePackage); // not a choice
    EXPECT_EQ(packagesOf("AddOns\\a.pbo"), Names{"P0"});
    model.unbind({rowOf("a.pbo")});
    EXPECT_EQ(packagesOf("AddOns\\a.pbo"), Names{"<Unknown addons>"});
}

TEST_F(ManagerModelTest, AdvancedViewSortsSelectsChildrenAndOpensFolders)
{
    file("AddOns/b.pbo", "bb");
    file("AddOns/A.pbo", "a");
    file("AddOns/sub/c.pbo", "cccc");
    file("dta/x.txt", "xxx");
    scan();
    makePackage("Mine",
                {"AddOns\\", "AddOns\\sub\\", "AddOns\\b.pbo", "AddOns\\A.pbo", "AddOns\\sub\\c.pbo", "dta\\x.txt"});
    model.choosePackage(4);
    model.sort(0);
    EXPECT_EQ(column(0), (Names{"AddOns\\", "sub\\", "A.pbo", "b.pbo", "c.pbo", "x.txt"}));
    model.sort(3);
    EXPECT_EQ(column(0)[0], "c.pbo") << "size, largest first";
    model.sort(2);
    EXPECT_EQ(column(2).front(), "") << "path, the game folder first";
    EXPECT_EQ(column(2).back(), "dta\\");

    model.sort(0);
    EXPECT_EQ(model.childRows({0}), (Rows{1, 2, 3, 4}));
    EXPECT_EQ(model.childRows({1}), (Rows{4}));
    EXPECT_TRUE(model.childRows({2}).empty()) << "a file has no children";
    EXPECT_EQ(model.folderToOpen({1}), game / "AddOns/sub/");
    EXPECT_EQ(model.folderToOpen({5}), game / "dta/");

    model.deactivateFiles({2, 3});
    EXPECT_EQ(column(0), (Names{"AddOns\\", "sub\\", "A.pbo", "b.pbo", "c.pbo", "x.txt"})) << "still sorted";
    EXPECT_EQ(node("AddOns\\A.pbo")->status, NodeStatus::Inactive);
    EXPECT_EQ(column(1)[rowOf("A.pbo")], "Inactive");
    model.activateFiles({rowOf("A.pbo")});
    EXPECT_EQ(node("AddOns\\A.pbo")->status, NodeStatus::Present);
}

// Uninstalling from the packages view: the file leaves the disk, the server
// view says so at once, every status after an earlier missing package too,
// and the database file on disk says so before anything else happens.
TEST_F(ManagerModelTest, EachChangeLeavesEveryViewTrueAndIsSavedAtOnce)
{
    file("AddOns/have.pbo", "have");
    file("AddOns/keep.pbo", "keep");
    scan();
    makePackage("Have", {"AddOns\\have.pbo"});
    makePackage("Keep", {"AddOns\\keep.pbo"});
    offer({{"http://x/gone.zip", 100, "Gone", "", 7, {{"addons\\gone.pbo", 4, 1}}},
           {"http://x/have.zip", 100, "Have", "", 7, {{"addons\\have.pbo", 4, crcOf("have")}}}});
    const std::string saved = game / "garrison.dat";
    ManagerModel manager(database, language(), saved);
    manager.show(ManagerView::Server);
    ASSERT_EQ(manager.rows()[1].columns[2], "Files installed");

    manager.show(ManagerView::Packages);
    const auto keepKey = manager.keysOf({4});
    ASSERT_EQ(database.packages()[4].name, "Keep");
    EXPECT_EQ(manager.uninstall({3}), std::vector<bool>{true});
    EXPECT_FALSE(std::filesystem::exists(game / "AddOns/have.pbo"));
    EXPECT_EQ(manager.rowsOf(keepKey), Rows{3}) << "the selection follows its package";
    EXPECT_EQ(manager.takeSaveProblem(), "");

    manager.show(ManagerView::Server);
    EXPECT_EQ(manager.rows()[1].columns[2], "No file installed");
    EXPECT_EQ(manager.rows()[1].icon, 5);
    database.offered().packages[1].status = InstallStatus::Installed; // as a stale list would have it
    EXPECT_TRUE(downloadsWanted(database.offered(), database));
    EXPECT_EQ(database.offered().packages[1].status, InstallStatus::NotInstalled)
        << "every package is looked at, not only up to the first missing one";

    AddonDatabase reread(language());
    reread.setGameFolder(game.path());
    ASSERT_TRUE(DatabaseFile::load(reread, saved));
    Names packages;
    for (const auto &package : reread.packages())
        packages.push_back(package.name);
    EXPECT_EQ(packages, (Names{"<Core files>", "<Unknown files>", "<Unknown addons>", "Keep"}));
}

TEST_F(ManagerModelTest, ASaveThatFailsIsToldOnceAndTheChangeStillShows)
{
    file("AddOns/mine.pbo", "mine");
    scan();
    makePackage("Mine", {"AddOns\\mine.pbo"});
    const std::string saved = game / "no-such-folder/garrison.dat";
    ManagerModel manager(database, language(), saved);
    manager.show(ManagerView::Packages);
    manager.deactivatePackages({3});
    EXPECT_EQ(manager.rows()[3].columns[1], "Inactive");
    EXPECT_EQ(manager.takeSaveProblem(), "The add-on database was not saved to \"" + saved +
                                             "\" (No such file or directory). The file that was there is left as "
                                             "it was.");
    EXPECT_EQ(manager.takeSaveProblem(), "");
    manager.activatePackages({3});
    EXPECT_EQ(manager.takeSaveProblem(), "") << "told once, not after every command";
    manager.flag({});
    EXPECT_EQ(manager.takeSaveProblem(), "") << "flags are not saved";
}

} // namespace
