#include "ScannerFixture.h"

#include "addondb/InactiveName.h"
#include "addondb/PackageOperations.h"
#include "platform/FileSystem.h"
#include "platform/FileTime.h"
#include "support/CrcForge.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace garrison;
using test::crcOf;
using Names = std::vector<std::string>;

namespace {

const std::string kCore = "<Core files>", kUnknown = "<Unknown files>", kUnknownAddons = "<Unknown addons>";

class FileScannerTest : public ::testing::Test, public test::ScannerFixture {};

TEST_F(FileScannerTest, FirstScanSortsIntoStandardPackages)
{
    file("OperationFlashpoint.exe");
    file("AddOns/6G30.pbo");
    file("AddOns/x.pbo");
    file("Res/AddOns/y.pbo");
    file("Missions/my.pbo");
    file("MyMod/AddOns/z.pbo");
    file("Flashpoint.cfg");
    file("sub/Flashpoint.cfg");
    file("tmp/a.txt");
    file("Users/me/a.txt");
    file(".hidden");
    file(".git/config");
    scan();

    const struct {
        const char *path;
        Names packages;
    } cases[] = {
        {"OperationFlashpoint.exe", {kCore}},
        {"AddOns\\", {kCore}},
        {"AddOns\\6G30.pbo", {kCore}},
        {"AddOns\\x.pbo", {kUnknownAddons}},
        {"Res\\AddOns\\y.pbo", {kUnknownAddons}},
        {"Missions\\", {kCore}},
        {"Missions\\my.pbo", {kUnknown}},
        {"MyMod\\AddOns\\z.pbo", {kUnknown}},
        {"sub\\Flashpoint.cfg", {kUnknown}},
        {"Flashpoint.cfg", {}},
        {"tmp\\", {}},
        {"Users\\", {}},
        {".hidden", {}},
        {".git\\", {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(packagesOf(c.path), c.packages) << c.path;
    EXPECT_EQ(node("AddOns\\x.pbo")->flags, NodeFlag::UnknownAddon);
    EXPECT_EQ(node("AddOns\\x.pbo")->crc, crcOf("data"));
    EXPECT_EQ(node("AddOns\\x.pbo")->packageCount, 1);
    EXPECT_EQ(node("Flashpoint.cfg"), nullptr);
}

TEST_F(FileScannerTest, InactiveFormsAndDuplicates)
{
    file("addons/a.pbx", "A");
    file("addons/b.pbo.0a1b2c3d.aab", "B");
    file("addons/c.pbo.12345678.aax", "C");
    const auto active = file("addons/d.pbo", "D");
    const auto copy = file("addons/" + inactiveName("d.pbo", crcOf("D")), "D");
    setFileModificationTime(copy, *fileModificationTime(active));
    scan();
    for (const auto *name : {"a.pbo", "b.pbo", "c.pbo"}) {
        const FileNode *n = node(std::string("addons\\") + name);
        ASSERT_NE(n, nullptr) << name;
        EXPECT_EQ(n->status, NodeStatus::Inactive) << name;
    }
    EXPECT_EQ(node("addons\\a.pbo")->diskName(), "a.pbx");
    EXPECT_EQ(node("addons\\d.pbo")->status, NodeStatus::Present);
    // The copy visited second maps to the same node: it goes.
    EXPECT_TRUE(pathExists(active));
    EXPECT_FALSE(pathExists(copy));
}

// A copy is deleted only where the active name and this scan's inactive name
// both exist: an old ".pbx" twin and a twin that differs in case stay.
TEST_F(FileScannerTest, TwinsWithoutBothNamesAreKept)
{
    const std::vector<std::string> files = {file("addons/x.pbo", "same"), file("addons/x.pbx", "same"),
                                            file("addons/Y.PBO", "twin"), file("addons/y.pbo", "twin")};
    for (int pass = 0; pass < 2; ++pass) {
        scan();
        for (const auto &path : files)
            EXPECT_TRUE(pathExists(path)) << path << ", pass " << pass;
    }
}

TEST_F(FileScannerTest, TwoVersionsOfOneSizeAndTimeAreBothKept)
{
    const auto a = file("addons/e.pbo", "version A");
    const auto b = file("addons/" + inactiveName("e.pbo", crcOf("version B")), "version B");
    setFileModificationTime(b, *fileModificationTime(a));
    for (int pass = 0; pass < 2; ++pass) {
        scan();
        EXPECT_EQ(game.read("addons/e.pbo"), "version A") << pass;
        EXPECT_TRUE(pathExists(b)) << "a different file was deleted as a duplicate, pass " << pass;
        std::vector<std::pair<std::string, std::uint32_t>> versions;
        for (const auto &child : node("addons\\")->children)
            versions.emplace_back(child->diskName(), child->crc);
        std::sort(versions.begin(), versions.end());
        const std::vector<std::pair<std::string, std::uint32_t>> expected{
            {"e.pbo", crcOf("version A")}, {inactiveName("e.pbo", crcOf("version B")), crcOf("version B")}};
        EXPECT_EQ(versions, expected) << pass;
    }
}

TEST_F(FileScannerTest, LinkedFoldersAreWalkedOnceAndNeverInCircles)
{
    file("AddOns/real.pbo", "R");
    ASSERT_EQ(symlink("..", (game / "AddOns/loop").c_str()), 0);  // back to the game folder
    ASSERT_EQ(symlink("../AddOns", (game / "Alias").c_str()), 0); // a second way into it
    // A mod folder kept elsewhere, with a loop of its own and a duplicate the scan would delete.
    test::TempFolder elsewhere;
    const auto active = elsewhere.write("@mod/AddOns/m.pbo", "M");
    const auto copy = elsewhere.write("@mod/AddOns/" + inactiveName("m.pbo", crcOf("M")), "M");
    setFileModificationTime(copy, *fileModificationTime(active));
    ASSERT_EQ(symlink("..", (elsewhere / "@mod/AddOns/up").c_str()), 0);
    ASSERT_EQ(symlink((elsewhere / "@mod").c_str(), (game / "@mod").c_str()), 0);
    ASSERT_EQ(symlink((elsewhere / "@mod").c_str(), (game / "@mod-copy").c_str()), 0);
    scan();

    Names files;
    for (const FileNode *each : flatten(*database.root())) {
        if (!each->isFolder())
            files.push_back(each->relativePath());
    }
    EXPECT_EQ(files, (Names{"@mod\\AddOns\\m.pbo", "AddOns\\real.pbo"}));
    EXPECT_TRUE(pathExists(copy)) << "a file outside the game folder was deleted";
}

// A link to "/" or to a folder above the game, a pipe and a device named like
// add-ons: the scan neither walks the machine nor waits for ever.
TEST_F(FileScannerTest, LinksUpwardsPipesAndDevicesAreLeftAlone)
{
    file("AddOns/real.pbo", "R");
    ASSERT_EQ(symlink("/", (game / "root").c_str()), 0);
    ASSERT_EQ(symlink((game.path() + "..").c_str(), (game / "parent").c_str()), 0);
    ASSERT_EQ(symlink("/proc/self", (game / "proc").c_str()), 0);
    ASSERT_EQ(mkfifo((game / "AddOns/pipe.pbo").c_str(), 0600), 0);
    ASSERT_EQ(symlink("/dev/zero", (game / "AddOns/zero.pbo").c_str()), 0);
    scan();
    Names files;
    for (const FileNode *each : flatten(*database.root()))
        files.push_back(each->relativePath());
    EXPECT_EQ(files, (Names{"AddOns\\", "AddOns\\real.pbo"}));
}

TEST_F(FileScannerTest, RescanRecognisesFilesByNameSizeAndTime)
{
    const auto same = file("addons/same.pbo", "1111");
    const auto touched = file("addons/touched.pbo", "2222");
    const auto grown = file("addons/grown.pbo", "3333");
    scan();
    FileNode *sameNode = node("addons\\same.pbo");
    FileNode *touchedNode = node("addons\\touched.pbo");

    // Same size and time: the contents are not read, so a change that keeps
    // both goes unnoticed (the CRC stays).
    const FileTime sameTime = *fileModificationTime(same);
    file("addons/same.pbo", "9999");
    setFileModificationTime(same, sameTime);
    setFileModificationTime(touched, *fileModificationTime(touched) + 10'000'000);
    file("addons/grown.pbo", "333333");
    scan();

    EXPECT_EQ(node("addons\\same.pbo"), sameNode);
    EXPECT_EQ(sameNode->crc, crcOf("1111"));
    EXPECT_EQ(node("addons\\touched.pbo"), touchedNode);
    EXPECT_EQ(touchedNode->time, *fileModificationTime(touched));
    // A new size is a new node; the old one is gone from its standard package.
    std::vector<FileNode *> grownNodes;
    for (const auto &child : node("addons\\")->children) {
        if (child->name() == "grown.pbo")
            grownNodes.push_back(child.get());
    }
    ASSERT_EQ(grownNodes.size(), 2u);
    EXPECT_EQ(grownNodes[0]->status, NodeStatus::Missing);
    EXPECT_EQ(grownNodes[0]->packageCount, 0);
    EXPECT_EQ(grownNodes[1]->size, 6u);
    EXPECT_EQ(grownNodes[1]->packageCount, 1);
}

TEST_F(FileScannerTest, MovedAddonStaysInItsPackage)
{
    file("addons/x.pbo", "XX");
    scan();
    const NodeRef x = database.packages()[kUnknownAddonsPackage].files.at(0);
    ASSERT_EQ(x->name(), "x.pbo");
    ASSERT_EQ(newPackage(database, "My addon", "", {{x, kUnknownAddonsPackage}}), PackageNameCheck::Ok);
    EXPECT_EQ(x->flags, 0);

    file("MyMod/AddOns/x.pbo", "XX");
    ASSERT_EQ(deleteFile(game / "addons/x.pbo"), FsStatus::Ok);
    scan();
    const Package &mine = database.packages().back();
    ASSERT_EQ(mine.files.size(), 1u);
    EXPECT_EQ(mine.files[0]->relativePath(), "MyMod\\AddOns\\x.pbo");
    EXPECT_EQ(mine.files[0]->flags, 0); // taken out of "<Unknown files>"
    EXPECT_EQ(packagesOf("MyMod\\AddOns\\x.pbo"), Names{"My addon"});
    EXPECT_EQ(x->status, NodeStatus::Missing);
    EXPECT_EQ(x->packageCount, 0);
}

TEST_F(FileScannerTest, StoppedScanAndUnreadableFiles)
{
    file("addons/x.pbo");
    // A socket lists like a file but cannot be opened for reading.
    const std::string socketPath = game / "addons/socket.pbo";
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    scan();
    close(fd);
    EXPECT_NE(node("addons\\x.pbo"), nullptr);
    EXPECT_EQ(node("addons\\socket.pbo"), nullptr);
    EXPECT_FALSE(database.aborted());

    database.requestAbort();
    scan();
    EXPECT_TRUE(database.aborted());
    EXPECT_EQ(node("addons\\x.pbo")->status, NodeStatus::Missing);
    EXPECT_TRUE(packagesOf("addons\\x.pbo").empty());
    scan(); // the next complete scan finds it again
    EXPECT_EQ(packagesOf("addons\\x.pbo"), Names{kUnknownAddons});
    EXPECT_FALSE(database.aborted());
}

TEST_F(FileScannerTest, DeriveModFoldersAndExecutables)
{
    file("OperationFlashpoint.exe", test::contentWithCrc(3694671, 0xA0FEC027));
    file("FlashpointResistance.exe", test::contentWithCrc(3665999, 0xAC1476E0));
    file("rb.exe", "vbs");
    file("MyMod/AddOns/z.pbo");
    file("@ww2/readme.txt");
    file("addons/x.pbo");
    file("tmp/junk");
    scan();
    database.derive();
    EXPECT_EQ(database.executables(), (Names{"", "FlashpointResistance.exe", "", "", "OperationFlashpoint.exe"}));
    EXPECT_EQ(database.extraExecutable(), "rb.exe");
    EXPECT_EQ(database.bestExecutable(5), 4);
    EXPECT_EQ(database.bestExecutable(3), 1);
    EXPECT_EQ(database.bestExecutable(0), -1);
    ASSERT_EQ(database.modFolders().size(), 2u);
    EXPECT_EQ(database.modFolders()[0]->name(), "@ww2\\");
    EXPECT_EQ(database.modAddonFolders()[0], nullptr);
    EXPECT_EQ(database.modFolders()[1]->name(), "MyMod\\");
    EXPECT_EQ(database.modAddonFolders()[1]->name(), "AddOns\\");
    EXPECT_EQ(database.addonsFolder(), node("addons\\"));
}

TEST_F(FileScannerTest, ListingModeNamesFoldersThatAreNotStock)
{
    file("addons/x.pbo");
    file("MyMod/a");
    file("@ww2/b");
    file("tmp/c");
    file(".cache/d");
    file("readme.txt");
    database.useListing();
    EXPECT_TRUE(database.listingMode());
    EXPECT_EQ(database.extraFolders(), (Names{"@ww2", "MyMod"}));
}

} // namespace
