#include "ScannerFixture.h"

#include "addondb/InstalledCopy.h"
#include "addondb/PackageOperations.h"
#include "platform/FileSystem.h"

#include <gtest/gtest.h>

using namespace garrison;
using Names = std::vector<std::string>;

namespace {

class PackageTest : public ::testing::Test, public test::ScannerFixture {};

TEST_F(PackageTest, StateFromTheFiles)
{
    const auto make = [](std::vector<NodeStatus> statuses) {
        Package package;
        for (const auto status : statuses) {
            auto node = FileNode::makeFile("f", 1000, 0, 0);
            node->status = status;
            package.add(node);
        }
        return summarize(package).state;
    };
    using S = NodeStatus;
    EXPECT_EQ(make({}), PackageState::Active);
    EXPECT_EQ(make({S::Present, S::Present}), PackageState::Active);
    EXPECT_EQ(make({S::Inactive, S::Inactive}), PackageState::Inactive);
    EXPECT_EQ(make({S::Present, S::Inactive}), PackageState::Partial);
    EXPECT_EQ(make({S::Missing, S::Missing}), PackageState::NoFiles);
    EXPECT_EQ(make({S::Missing, S::Present}), PackageState::Missing);
    EXPECT_EQ(make({S::Missing, S::Present, S::Inactive}), PackageState::PartialMissing);
    EXPECT_EQ(make({S::Missing, S::Inactive}), PackageState::InactiveMissing);

    Package package;
    package.add(FileNode::makeFolder("a\\"));
    auto shared = FileNode::makeFile("x", 1048577, 0, 0);
    shared->packageCount = 1;
    package.add(shared);
    const auto summary = summarize(package);
    EXPECT_EQ(summary.folders, 1);
    EXPECT_EQ(summary.files, 1);
    EXPECT_EQ(summary.shared, 1);
    EXPECT_EQ(packageSizeText(summary.totalSize, language()), "1,025 KB");
    EXPECT_EQ(packageStateText(PackageState::PartialMissing, language()), "Partial & missing files");
    EXPECT_EQ(packageStateText(PackageState::Active, language()), "");
    EXPECT_FALSE(packageDateText(currentFileTime()).empty());
}

TEST_F(PackageTest, NewEditBindUnbindDissolve)
{
    file("addons/x.pbo");
    file("addons/6g30.pbo");
    file("Missions/m.pbo");
    scan();
    EXPECT_EQ(newPackage(database, "", "", {}), PackageNameCheck::Empty);
    EXPECT_EQ(newPackage(database, "<CORE FILES>", "", {}), PackageNameCheck::Taken);
    const auto mine = makePackage("Mine", {"addons\\x.pbo", "addons\\6g30.pbo"});
    // Unknown files leave their standard package; core files stay in theirs.
    EXPECT_EQ(packagesOf("addons\\x.pbo"), Names{"Mine"});
    EXPECT_EQ(packagesOf("addons\\6g30.pbo"), (Names{"<Core files>", "Mine"}));
    EXPECT_EQ(node("addons\\x.pbo")->flags, 0);

    const auto other = makePackage("Other", {"Missions\\m.pbo"});
    EXPECT_EQ(editPackage(database, other, "mine", "c"), PackageNameCheck::Taken);
    EXPECT_EQ(editPackage(database, other, "", "c"), PackageNameCheck::Ok); // an empty name passes
    EXPECT_EQ(editPackage(database, kCorePackage, "Core", ""), PackageNameCheck::Taken);
    EXPECT_EQ(database.packages()[kCorePackage].name, "<Core files>");

    // Unbinding the last package's hold gives the file back to a standard one;
    // standard packages cannot be unbound from.
    unbindFiles(database, {{ref("addons\\x.pbo"), mine}, {ref("addons\\6g30.pbo"), kCorePackage}});
    EXPECT_EQ(packagesOf("addons\\x.pbo"), Names{"<Unknown addons>"});
    EXPECT_EQ(packagesOf("addons\\6g30.pbo"), (Names{"<Core files>", "Mine"}));

    dissolvePackages(database, {mine, other, kCorePackage});
    EXPECT_EQ(database.packages().size(), 3u);
    EXPECT_EQ(packagesOf("Missions\\m.pbo"), Names{"<Unknown files>"});
    EXPECT_EQ(node("addons\\6g30.pbo")->packageCount, 1);
}

TEST_F(PackageTest, UninstallDeletesOnlyWhatNoOtherPackageHolds)
{
    file("MyMod/AddOns/a.pbo");
    file("MyMod/AddOns/shared.pbo");
    file("MyMod/readme.txt");
    file("Foreign/keep.txt");
    file("Foreign/mine.txt");
    scan();
    const auto mine =
        makePackage("Mine", {"MyMod\\", "MyMod\\AddOns\\", "MyMod\\AddOns\\a.pbo", "MyMod\\AddOns\\shared.pbo",
                             "MyMod\\readme.txt", "Foreign\\", "Foreign\\mine.txt"});
    makePackage("Other", {"MyMod\\AddOns\\shared.pbo"});
    ASSERT_EQ(uninstallPackages(database, {mine}), std::vector<bool>{true});

    EXPECT_FALSE(pathExists(game / "MyMod/AddOns/a.pbo"));
    EXPECT_FALSE(pathExists(game / "MyMod/readme.txt"));
    EXPECT_FALSE(pathExists(game / "Foreign/mine.txt"));
    EXPECT_TRUE(pathExists(game / "MyMod/AddOns/shared.pbo"));
    EXPECT_TRUE(pathExists(game / "Foreign/keep.txt"));
    EXPECT_EQ(database.packageIndex("Mine"), -1);
    EXPECT_EQ(packagesOf("MyMod\\AddOns\\shared.pbo"), Names{"Other"});
    // Folders that still hold something stay, given to a standard package.
    EXPECT_EQ(packagesOf("Foreign\\"), Names{"<Unknown files>"});
    EXPECT_EQ(packagesOf("MyMod\\AddOns\\"), Names{"<Unknown files>"});
    EXPECT_EQ(node("MyMod\\AddOns\\a.pbo"), nullptr); // pruned
    EXPECT_EQ(uninstallPackages(database, {kCorePackage}), std::vector<bool>{false});
}

TEST_F(PackageTest, UninstallThatCannotDeleteKeepsThePackage)
{
    file("MyMod/a.pbo");
    file("MyMod/b.pbo");
    scan();
    const auto mine = makePackage("Mine", {"MyMod\\a.pbo", "MyMod\\b.pbo"});
    // b.pbo vanished behind our back: its delete fails.
    deleteFile(game / "MyMod/b.pbo");
    EXPECT_EQ(uninstallPackages(database, {mine}), std::vector<bool>{false});
    EXPECT_FALSE(pathExists(game / "MyMod/a.pbo"));
    ASSERT_NE(database.packageIndex("Mine"), -1);
    EXPECT_EQ(summarize(database.packages()[static_cast<std::size_t>(database.packageIndex("Mine"))]).state,
              PackageState::Missing);
}

TEST_F(PackageTest, FindInstalledCopy)
{
    file("Res/AddOns/x.pbo", "XX");
    file("Missions/m.pbo", "MM");
    file("@mod/AddOns/deep/y.pbo", "YY");
    file("@mod/Missions/z.pbo", "ZZ");
    scan();
    database.derive();
    const auto id = [&](const std::string &path) {
        const FileNode *n = node(path);
        return std::pair{n->size, n->crc};
    };
    const struct {
        const char *offered;
        const char *installed;
        const char *as;
    } cases[] = {
        {"addons\\x.pbo", "Res\\AddOns\\x.pbo", "Res\\AddOns\\x.pbo"}, // step 2
        {"@other\\addons\\y.pbo", "@mod\\AddOns\\deep\\y.pbo", "@mod\\AddOns\\deep\\y.pbo"},
        {"MyMod\\Missions\\m.pbo", "Missions\\m.pbo", "Missions\\m.pbo"},      // step 3: MyMod\ dropped
        {"Missions\\z.pbo", "@mod\\Missions\\z.pbo", "@mod\\Missions\\z.pbo"}, // below a mod folder
        {"Missions\\m.pbo", "Missions\\m.pbo", "Missions\\m.pbo"},             // step 1
    };
    for (const auto &c : cases) {
        const auto [size, crc] = id(c.installed);
        const FileNode *found = findInstalledCopy(database, c.offered, size, crc);
        ASSERT_NE(found, nullptr) << c.offered;
        EXPECT_EQ(found->relativePath(), c.as) << c.offered;
    }
    const auto [size, crc] = id("Missions\\m.pbo");
    EXPECT_EQ(findInstalledCopy(database, "Missions\\m.pbo", size + 1, crc), nullptr);
    EXPECT_EQ(findInstalledCopy(database, "addons\\m.pbo", size, crc), nullptr);
}

} // namespace
