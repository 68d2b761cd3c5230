#include "ScannerFixture.h"

#include "addondb/DatabaseWorker.h"
#include "addondb/PayloadPacker.h"
#include "platform/WholeFile.h"
#include "support/Loopback.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using namespace garrison;

namespace {

class DatabaseWorkerTest : public ::testing::Test, public test::ScannerFixture {
protected:
    test::TempFolder work;
};

TEST_F(DatabaseWorkerTest, LoadsTheFileThenScansAndDerives)
{
    file("OperationFlashpoint.exe", "exe");
    file("@mod/AddOns/m.pbo", "M");
    scan();
    // A package of the user's: only the database file can bring it back.
    FileNode *added = node("@mod\\AddOns\\m.pbo");
    ASSERT_NE(added, nullptr);
    Package mine;
    mine.name = "Mine";
    for (const auto &child : added->parent->children) {
        if (child.get() == added)
            mine.add(child);
    }
    database.packages().push_back(mine);
    ASSERT_TRUE(DatabaseFile::save(database, work / "garrison.dat", work / "garrison.da2"));
    file("AddOns/new.pbo", "new since the save");

    AddonDatabase loaded(language());
    loaded.setGameFolder(game.path());
    DatabaseWorker worker(loaded, work / "garrison.dat");
    worker.start();
    ASSERT_TRUE(test::eventually([&] { return worker.done(); }));
    worker.join();
    EXPECT_TRUE(worker.ready());
    ASSERT_GE(loaded.packageIndex("Mine"), 0);
    EXPECT_EQ(loaded.packages()[static_cast<std::size_t>(loaded.packageIndex("Mine"))].files.size(), 1u);
    ASSERT_EQ(loaded.modFolders().size(), 1u);
    EXPECT_EQ(loaded.modFolders()[0]->name(), "@mod\\");
    bool found = false;
    for (const FileNode *each : flatten(*loaded.root()))
        found = found || each->relativePath() == "AddOns\\new.pbo";
    EXPECT_TRUE(found);
}

// Packing ahead changes how soon the file is written, never its bytes: not
// after a first scan, and not when the scan changes what it had fed already.
TEST_F(DatabaseWorkerTest, AScanThatPacksAheadSavesTheSameBytes)
{
    file("AddOns/a.pbo", "a");
    file("AddOns/b.pbo", "b");
    file("Campaigns/1985/mission.sqm", "class Mission {};");
    file("OperationFlashpoint.exe", "exe");
    file("@mod/AddOns/m.pbo", "M");
    file("readme.txt", "read me");
    const auto scanAndSave = [&](AddonDatabase &scanned) {
        PayloadPacker packer;
        DatabaseWorker worker(scanned, work / "garrison.dat");
        worker.packAhead(packer);
        worker.start();
        EXPECT_TRUE(test::eventually([&] { return worker.done(); }));
        worker.join();
        EXPECT_TRUE(DatabaseFile::save(scanned, work / "garrison.dat", work / "garrison.da2", &packer));
        EXPECT_TRUE(DatabaseFile::save(scanned, work / "at-once.dat", work / "garrison.da2"));
        EXPECT_EQ(readWholeFile(work / "garrison.dat"), readWholeFile(work / "at-once.dat"));
        return packer.packedAhead();
    };
    EXPECT_GT(scanAndSave(database), 0u);
    // "@mod\" was fed first; its file is gone now, and only the reconciliation says so.
    std::filesystem::remove(game / "@mod/AddOns/m.pbo");
    AddonDatabase rescanned(language());
    rescanned.setGameFolder(game.path());
    EXPECT_EQ(scanAndSave(rescanned), 0u);
    EXPECT_EQ(node("@mod\\AddOns\\m.pbo")->status, NodeStatus::Present);
    for (const FileNode *each : flatten(*rescanned.root()))
        EXPECT_NE(each->relativePath(), "@mod\\AddOns\\m.pbo");
}

TEST_F(DatabaseWorkerTest, AnAbortInTheMiddleOfTheScanStopsItThere)
{
    file("AddOns/a.pbo", "before");
    file("AddOns/z.pbo", "after");
    // A pipe the scan must read: it waits there until we have asked it to stop.
    const std::string pipe = game / "AddOns/m.pbo";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    DatabaseWorker worker(database, work / "garrison.dat");
    worker.start();
    // A writer can open the pipe only once the scan has opened it to read.
    int writer = -1;
    ASSERT_TRUE(test::eventually([&] { return (writer = open(pipe.c_str(), O_WRONLY | O_NONBLOCK)) >= 0; }));
    EXPECT_FALSE(worker.done());
    database.requestAbort();
    close(writer);
    ASSERT_TRUE(test::eventually([&] { return worker.done(); }));
    worker.join();
    EXPECT_FALSE(worker.ready());
    EXPECT_TRUE(database.aborted());
    std::vector<std::string> seen;
    for (const FileNode *each : flatten(*database.root()))
        seen.push_back(each->relativePath());
    EXPECT_EQ(seen, (std::vector<std::string>{"AddOns\\", "AddOns\\a.pbo", "AddOns\\m.pbo"}));
}

} // namespace
