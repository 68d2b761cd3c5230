#include "ScannerFixture.h"

#include "addondb/DatabaseWorker.h"
#include "addondb/PayloadPacker.h"
#include "platform/FileSystem.h"
#include "platform/WholeFile.h"
#include "support/Loopback.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <future>
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

// The scan would save over a damaged database: it is kept aside and the player told.
TEST_F(DatabaseWorkerTest, ADamagedDatabaseIsKeptAside)
{
    file("AddOns/a.pbo", "a");
    const std::string damaged = "\x01\0\0\0garbage that was the player's packages";
    work.write("garrison.dat", damaged);
    DatabaseWorker worker(database, work / "garrison.dat");
    worker.start();
    worker.join();
    ASSERT_EQ(worker.notes().size(), 1u);
    const std::string &note = worker.notes()[0];
    EXPECT_TRUE(note.starts_with("garrison.dat could not be read; it is kept as garrison.dat.unreadable-")) << note;
    const std::string aside = note.substr(note.find("garrison.dat.unreadable-"), 39);
    EXPECT_EQ(work.read(aside), damaged);
    EXPECT_FALSE(pathExists(work / "garrison.dat")) << "nothing saved yet";
    EXPECT_NE(node("AddOns\\a.pbo"), nullptr) << "scanned anew";
}

TEST_F(DatabaseWorkerTest, AnAbortInTheMiddleOfTheScanStopsItThere)
{
    file("AddOns/a.pbo", "before");
    file("AddOns/m/in.pbo", "inside");
    file("AddOns/z.pbo", "after");
    // The scan waits where it is about to enter AddOns/m, until we have asked it to stop.
    std::promise<void> reached, asked;
    auto released = asked.get_future();
    database.observeProgress([&](const std::string &text) {
        if (text.ends_with("AddOns/m")) {
            reached.set_value();
            released.wait();
        }
    });
    DatabaseWorker worker(database, work / "garrison.dat");
    worker.start();
    ASSERT_EQ(reached.get_future().wait_for(std::chrono::seconds(30)), std::future_status::ready);
    EXPECT_FALSE(worker.done());
    database.requestAbort();
    asked.set_value();
    worker.join();
    EXPECT_FALSE(worker.ready());
    EXPECT_TRUE(database.aborted());
    std::vector<std::string> seen;
    for (const FileNode *each : flatten(*database.root())) {
        if (!each->isFolder())
            seen.push_back(each->relativePath());
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"AddOns\\a.pbo"}));
}

} // namespace
