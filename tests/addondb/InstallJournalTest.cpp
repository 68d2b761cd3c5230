#include "ScannerFixture.h"

#include "addondb/Activation.h"
#include "addondb/DatabaseFile.h"
#include "addondb/InactiveName.h"
#include "addondb/JournalRecovery.h"
#include "addondb/PackageArchive.h"
#include "platform/FileSystem.h"
#include "support/CrcForge.h"
#include "support/ZipWriter.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <map>
#include <sys/wait.h>
#include <unistd.h>

using namespace garrison;
using test::crcOf;
using Names = std::vector<std::string>;
namespace fs = std::filesystem;

namespace {

using Step = PackageArchive::Step;

// An installation's journal and the start after a crash: the game folder as
// before, the journal gone, the package installable again.
class InstallJournalTest : public ::testing::Test, public test::ScannerFixture {
protected:
    InstallJournalTest()
    {
        file("OperationFlashpoint.exe", "exe");
        file("AddOns/old.pbo", "an old add-on");
        scan();
        // Large enough to be written in several slices each.
        for (int i = 0; i < 3; ++i)
            members.push_back({"tank" + std::to_string(i) + ".pbo", std::string(3 * 1024 * 1024 + i, 'a' + i)});
        members.push_back({"auto-addon.txt", "AUTOADDON_START\nPACKAGE Tanks\nDEACTIVATE addons/old.pbo\n"
                                             "INSTALL *.pbo addons\\\nAUTOADDON_END\n"});
        EXPECT_TRUE(test::writeZip(archive, members));
        EXPECT_TRUE(DatabaseFile::save(database, databasePath));
        EXPECT_TRUE(openChangeJournal(database, databasePath).empty());
    }

    // Every file and folder of the game folder with its size, hidden ones too.
    std::map<std::string, std::uintmax_t> disk() const
    {
        std::map<std::string, std::uintmax_t> entries;
        for (const auto &entry : fs::recursive_directory_iterator(game.path()))
            entries[entry.path().string()] = entry.is_directory() ? 0 : entry.file_size();
        return entries;
    }

    // Installs in a child process that is killed with SIGKILL at the
    // occurrence-th time it reaches step.
    void installKilledAt(Step step, int occurrence)
    {
        const pid_t child = fork();
        if (child == 0) {
            int reached = 0;
            PackageArchive package(database, archive);
            package.onStep([&](Step now) {
                if (now == step && ++reached == occurrence)
                    raise(SIGKILL);
            });
            std::atomic<std::uint64_t> done{0}, total{0};
            package.install(done, total, nullptr);
            _exit(3);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the step was never reached";
    }

    // A new start: the database file loaded, the journal dealt with, the game folder scanned.
    std::vector<std::string> restart(AddonDatabase &restarted) const
    {
        restarted.setGameFolder(game.path());
        EXPECT_TRUE(DatabaseFile::load(restarted, databasePath));
        auto notes = openChangeJournal(restarted, databasePath);
        FileScanner(restarted).scan();
        return notes;
    }

    test::TempFolder work;
    std::string databasePath = work / "garrison.dat";
    std::string journalPath = work / "garrison.journal";
    std::string archive = work / "tanks.zip";
    std::vector<test::ZipMember> members;
};

TEST_F(InstallJournalTest, AnInstallationKilledAnywhereIsUndoneAtTheNextStart)
{
    const struct {
        const char *where;
        Step step;
        int occurrence;
    } points[] = {
        {"after the journal is written", Step::JournalWritten, 1},
        {"in the middle of a file", Step::FilePartWritten, 4},
        {"between files", Step::FileWritten, 2},
        {"after the last rename, before the database is saved", Step::Activated, 1},
    };
    const auto before = disk();
    for (const auto &point : points) {
        installKilledAt(point.step, point.occurrence);
        ASSERT_TRUE(pathExists(journalPath)) << point.where;
        // No file under a name of its own is ever shorter than its member.
        for (const auto &member : members) {
            const std::string crcName = inactiveName(member.name, crcOf(member.content));
            for (const std::string &name : {member.name, crcName}) {
                if (pathExists(game / ("AddOns/" + name))) {
                    EXPECT_EQ(fs::file_size(game / ("AddOns/" + name)), member.content.size())
                        << point.where << ": " << name;
                }
            }
        }

        AddonDatabase restarted(language());
        EXPECT_EQ(restart(restarted), Names{"An installation of \"Tanks\" was interrupted and has been undone"})
            << point.where;
        EXPECT_EQ(disk(), before) << point.where;
        EXPECT_FALSE(pathExists(journalPath)) << point.where;
        EXPECT_EQ(restarted.packageIndex("Tanks"), -1) << point.where;
        AddonDatabase again(language());
        EXPECT_TRUE(restart(again).empty()) << point.where << ": said only once";
    }

    // Then it installs as if the first attempts never happened.
    AddonDatabase restarted(language());
    restart(restarted);
    PackageArchive package(restarted, archive);
    std::atomic<std::uint64_t> done{0}, total{0};
    ASSERT_TRUE(package.install(done, total, nullptr)) << package.failure();
    EXPECT_EQ(package.packageName(), "Tanks");
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(game.read("AddOns/" + members[static_cast<std::size_t>(i)].name),
                  members[static_cast<std::size_t>(i)].content);
    EXPECT_EQ(game.read("AddOns/" + inactiveName("old.pbo", crcOf("an old add-on"))), "an old add-on");
    ASSERT_TRUE(DatabaseFile::save(restarted, databasePath));
    EXPECT_FALSE(pathExists(journalPath)) << "the save ends the journal";
}

TEST_F(InstallJournalTest, ActivationAndUninstallationCutShort)
{
    std::atomic<std::uint64_t> done{0}, total{0};
    ASSERT_TRUE(PackageArchive(database, archive).install(done, total, nullptr));
    ASSERT_TRUE(DatabaseFile::save(database, databasePath));
    const auto installed = disk();

    // Switched off, then the crash: one rename recorded but not yet done.
    const auto tanks = static_cast<std::size_t>(database.packageIndex("Tanks"));
    Activation(database).deactivatePackage(database.packages()[tanks]);
    ASSERT_NE(disk(), installed);
    database.journal().rename(game / "AddOns/never.pbo", game / "AddOns/never.pbo.00000000.aab");
    {
        AddonDatabase restarted(language());
        EXPECT_EQ(restart(restarted), Names{"A change of active add-ons was interrupted and has been undone"});
        EXPECT_EQ(disk(), installed);
        EXPECT_FALSE(pathExists(journalPath));
    }

    // Uninstalled, then the crash after the first file was deleted.
    const Package &package = database.packages()[tanks];
    ASSERT_TRUE(database.journal().beginUninstall(package.name, package.installDate));
    ASSERT_EQ(deleteFile(game / "AddOns/tank0.pbo"), FsStatus::Ok);
    {
        AddonDatabase restarted(language());
        EXPECT_EQ(restart(restarted), Names{"An uninstallation of \"Tanks\" was interrupted and has been completed"});
        EXPECT_EQ(restarted.packageIndex("Tanks"), -1);
        for (int i = 0; i < 3; ++i)
            EXPECT_FALSE(pathExists(game / ("AddOns/tank" + std::to_string(i) + ".pbo"))) << i;
        EXPECT_FALSE(pathExists(journalPath));
    }
    AddonDatabase saved(language());
    saved.setGameFolder(game.path());
    ASSERT_TRUE(DatabaseFile::load(saved, databasePath));
    EXPECT_EQ(saved.packageIndex("Tanks"), -1) << "the completed uninstallation was saved";
}

} // namespace
