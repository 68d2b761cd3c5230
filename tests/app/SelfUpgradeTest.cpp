#include "app/SelfUpgrade.h"
#include "app/ReleaseManifest.h"
#include "app/StagedSwap.h"
#include "app/UpgradeStaging.h"

#include "lang/LanguageLoader.h"
#include "peers/HttpPeer.h"
#include "support/Loopback.h"
#include "support/SigningKey.h"
#include "support/TempFolder.h"
#include "support/ZipWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sys/wait.h>
#include <unistd.h>

using namespace garrison;
using test::eventually;

namespace {

namespace fs = std::filesystem;

const LanguageTable &english()
{
    static const LanguageTable table = loadLanguageTable("/nonexistent/garrisonlanguage.ini");
    return table;
}

peers::HttpPeer::Route answer(int status, std::string body)
{
    peers::HttpPeer::Route route;
    route.status = status;
    route.body = std::move(body);
    return route;
}

// Every file below folder with its bytes.
std::map<std::string, std::string> snapshot(const fs::path &folder)
{
    std::map<std::string, std::string> files;
    for (const auto &entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            std::ifstream in(entry.path(), std::ios::binary);
            files[fs::relative(entry.path(), folder).string()] = std::string(std::istreambuf_iterator<char>(in), {});
        }
    }
    return files;
}

class SelfUpgradeTest : public ::testing::Test {
protected:
    SelfUpgradeTest()
    {
        temp.write("program/garrison", "#!/bin/sh\necho old > started.txt\n");
        fs::permissions(temp / "program/garrison",
                        fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
        temp.write("program/garrisonsetup.txt", "old setup notes");
        temp.write("program/data/readme.txt", "old readme");
        temp.write("work/garrison.sav", "settings");
        places = {temp / "work/", temp / "program/"};
    }
    // Runs an upgrade from what the web serves; true when it staged the files.
    bool upgrade(const std::string &archive, const std::string &signature, int signatureStatus = 200)
    {
        web.route("/garrison124.ozp", answer(200, archive));
        web.route("/garrison124.ozp.sig", answer(signatureStatus, signature));
        SelfUpgrade job(status, english(), places, web.url("/garrison124.ozp"), key.publicKey());
        EXPECT_TRUE(eventually([&] { return job.ended(); }));
        EXPECT_FALSE(fs::exists(fs::symlink_status(temp / "work/garrison.ozp")) &&
                     !fs::is_symlink(temp / "work/garrison.ozp"))
            << "the download is never written";
        return job.succeeded();
    }
    std::string statusText()
    {
        std::lock_guard guard(status.lock);
        return status.upgradeStatus;
    }

    test::TempFolder temp;
    UpgradePlaces places;
    StatusStore status;
    test::SigningKey key;
    peers::HttpPeer web;
};

TEST_F(SelfUpgradeTest, ASignedArchiveIsStagedSwappedAndStartedInTheOldWorkingFolder)
{
    const std::string archive = test::zipBytes({
        {"garrison-release.txt", "version = 1.24\n"},
        {"garrison", "#!/bin/sh\necho \"new in $PWD\" > started.txt\n"},
        {"data/", ""},
        {"data/readme.txt", "new readme"},
        {"data/maps/eden.txt", "a new folder"},
    });
    // A link planted where the download used to be written: nothing writes through it.
    temp.write("victim.txt", "the player's file");
    fs::create_symlink(temp / "victim.txt", temp / "work/garrison.ozp");
    ASSERT_TRUE(upgrade(archive, key.sign(archive))) << statusText();
    EXPECT_EQ(statusText(), "Restart");
    EXPECT_EQ(temp.read("victim.txt"), "the player's file");
    fs::remove(temp / "work/garrison.ozp");
    // Staged beside the program; nothing installed has changed yet.
    EXPECT_EQ(temp.read("program/data/readme.txt"), "old readme");
    EXPECT_EQ(temp.read("program/.garrison-upgrade/data/readme.txt"), "new readme");

    // Garrison ends; the setup program waits for it, swaps, and starts the new copy.
    const pid_t garrison = fork();
    if (garrison == 0) {
        usleep(200'000);
        _exit(0);
    }
    const pid_t setup = fork();
    if (setup == 0) {
        execl(GARRISON_SETUP, GARRISON_SETUP, "--wait", std::to_string(garrison).c_str(), "--from",
              places.staging().c_str(), "--to", places.programFolder.c_str(), "--in", places.workFolder.c_str(),
              "--start", (places.programFolder + "garrison").c_str(), nullptr);
        _exit(127);
    }
    waitpid(garrison, nullptr, 0);
    int setupStatus = 0;
    waitpid(setup, &setupStatus, 0);
    ASSERT_TRUE(WIFEXITED(setupStatus) && WEXITSTATUS(setupStatus) == 0) << setupStatus;
    EXPECT_EQ(temp.read("work/started.txt"), "new in " + fs::canonical(temp / "work").string() + "\n");
    EXPECT_EQ(temp.read("program/data/readme.txt"), "new readme");
    EXPECT_EQ(temp.read("program/data/maps/eden.txt"), "a new folder");
    EXPECT_EQ(temp.read("program/garrisonsetup.txt"), "old setup notes") << "files the archive lacks stay";
    EXPECT_FALSE(fs::exists(places.staging()));
    EXPECT_FALSE(fs::exists(temp / "program/.garrison-old"));
    EXPECT_FALSE(fs::exists(temp / "program.garrison-old"));
}

TEST_F(SelfUpgradeTest, AnythingWrongLeavesEveryInstalledFileAsItWas)
{
    test::SigningKey stranger;
    const test::ZipMember release{"garrison-release.txt", "version = 1.24\n"};
    const std::string good = test::zipBytes({release, {"garrison", "new program"}, {"data/readme.txt", "new readme"}});
    std::string damaged =
        test::zipBytes({release, {"garrison", "new program"}, {"data/readme.txt", "new readme", false}});
    damaged.replace(damaged.find("new readme"), 10, "NEW README");
    const std::string climbing = test::zipBytes({release, {"garrison", "new program"}, {"..\\..\\home\\evil.sh", "x"}});
    const std::string absolute = test::zipBytes({release, {"/etc/evil.conf", "x"}});
    const std::string driveLetter = test::zipBytes({release, {"C:/evil.exe", "x"}});
    // Signed by the right key, and still not to be installed: an older or the same release, or none named.
    const auto releaseOf = [](const std::string &manifest) {
        return test::zipBytes({{"garrison-release.txt", manifest}, {"garrison", "a program"}});
    };
    const std::string older = releaseOf("version = 1.10\n");
    const std::string same = releaseOf("version = 1.22b\n");
    const std::string unnamed = test::zipBytes({{"garrison", "a program"}});
    const std::string noVersion = releaseOf("name = Garrison\n");
    const struct {
        const char *what;
        std::string archive;
        std::string signature;
        int signatureStatus;
        std::string reason;
    } cases[] = {
        {"unsigned", good, "", 404, "the archive carries no signature"},
        {"signed by another key", good, stranger.sign(good), 200, "the archive's signature is not"},
        {"signature of other bytes", good, key.sign(damaged), 200, "the archive's signature is not"},
        {"a ..\\ member", climbing, key.sign(climbing), 200, "climbs out of its folder"},
        {"an absolute member", absolute, key.sign(absolute), 200, "absolute path"},
        {"a drive letter", driveLetter, key.sign(driveLetter), 200, "drive letter"},
        {"a bad CRC", damaged, key.sign(damaged), 200, "\"data/readme.txt\" is damaged"},
        {"no zip", "not a zip", key.sign("not a zip"), 200, "no zip archive"},
        {"an older release", older, key.sign(older), 200, "holds Garrison 1.10, not newer than this 1.22b"},
        {"the same release", same, key.sign(same), 200, "holds Garrison 1.22b, not newer than this 1.22b"},
        {"no manifest", unnamed, key.sign(unnamed), 200, "names no release version"},
        {"no version line", noVersion, key.sign(noVersion), 200, "names no release version"},
    };
    const auto before = snapshot(temp / "program");
    for (const auto &c : cases) {
        const auto asked = web.requests().size();
        EXPECT_FALSE(upgrade(c.archive, c.signature, c.signatureStatus)) << c.what;
        // The signature is asked first; without it the archive is never fetched.
        const auto requests = web.requests();
        ASSERT_GT(requests.size(), asked) << c.what;
        EXPECT_EQ(requests[asked], "/garrison124.ozp.sig") << c.what;
        EXPECT_EQ(requests.size() - asked, c.signatureStatus == 200 ? 2u : 1u) << c.what;
        EXPECT_TRUE(statusText().starts_with("Upgrade failed: ")) << c.what << ": " << statusText();
        EXPECT_NE(statusText().find(c.reason), std::string::npos) << c.what << ": " << statusText();
        EXPECT_EQ(snapshot(temp / "program"), before) << c.what;
        EXPECT_FALSE(fs::exists(places.staging())) << c.what;
        EXPECT_FALSE(fs::exists(temp / "home/evil.sh")) << c.what;
    }
}

TEST_F(SelfUpgradeTest, ASwapThatCannotFinishPutsEverythingBack)
{
    temp.write("staged/garrison", "new program");
    temp.write("staged/data/readme.txt", "new readme");
    // A folder where the new file should go: the second move fails.
    temp.write("staged/zz/file", "new");
    temp.write("program/zz", "a file where the staged folder needs one");
    temp.write("staged/data/new/deep.txt", "in a folder the swap makes");
    const auto before = snapshot(temp / "program");
    const std::string failure = swapStagedFiles(temp / "staged", temp / "program").why();
    EXPECT_NE(failure, "");
    EXPECT_FALSE(fs::exists(temp / "staged"));
    EXPECT_FALSE(fs::exists(temp / "program/data/new")) << "the folders it made go too";
    // The next start of Garrison tells why, once.
    EXPECT_EQ(recoverInterruptedSwap(temp / "program"), "The last upgrade was not installed: " + failure);
    EXPECT_EQ(recoverInterruptedSwap(temp / "program"), "");
    EXPECT_EQ(snapshot(temp / "program"), before);

    // Files an earlier swap could not put back are never overwritten.
    temp.write("program/.garrison-old/garrison", "an old program");
    temp.write("staged/garrison", "new program");
    const auto withOld = snapshot(temp / "program");
    EXPECT_NE(swapStagedFiles(temp / "staged", temp / "program").why().find("an earlier upgrade left files"),
              std::string::npos);
    EXPECT_EQ(temp.read("program/.garrison-old/garrison"), "an old program");
    EXPECT_NE(recoverInterruptedSwap(temp / "program").find("an earlier upgrade left files"), std::string::npos);
    EXPECT_EQ(snapshot(temp / "program"), withOld);
}

// A staging folder planted as a link, at either end: its target is never
// emptied, filled or moved into the program.
TEST_F(SelfUpgradeTest, APlantedStagingLinkIsRefusedAtBothEnds)
{
    temp.write("victim/notes.txt", "the player's notes");
    temp.write("program/garrison", "the installed program");
    fs::create_directory_symlink(temp / "victim", temp / "program/.garrison-upgrade");
    const auto victim = snapshot(temp / "victim");
    const auto program = snapshot(temp / "program");

    const std::string archive = test::zipBytes({{"garrison", "new program"}});
    const std::vector<std::uint8_t> bytes(archive.begin(), archive.end());
    EXPECT_NE(stageUpgrade(bytes, temp / "program/.garrison-upgrade/").find("is a symbolic link"), std::string::npos);
    EXPECT_NE(swapStagedFiles(temp / "program/.garrison-upgrade/", temp / "program").why().find("is a symbolic link"),
              std::string::npos);
    EXPECT_EQ(snapshot(temp / "victim"), victim);
    EXPECT_NE(recoverInterruptedSwap(temp / "program").find("is a symbolic link"), std::string::npos)
        << "the player hears why";
    EXPECT_EQ(snapshot(temp / "program"), program);

    fs::remove(temp / "program/.garrison-upgrade");
    fs::create_directory_symlink(temp / "victim", temp / "program/.garrison-old");
    temp.write("staged/garrison", "new program");
    EXPECT_NE(swapStagedFiles(temp / "staged", temp / "program").why().find("is a symbolic link"), std::string::npos);
    EXPECT_EQ(snapshot(temp / "victim"), victim);
    EXPECT_EQ(temp.read("program/garrison"), "the installed program");
}

// Killed in the middle of a swap: the next start puts the old program back whole.
TEST_F(SelfUpgradeTest, ASwapCutShortIsUndoneAtTheNextStart)
{
    for (int i = 0; i < 6; ++i)
        temp.write("staged/data/file" + std::to_string(i) + ".txt", "new " + std::to_string(i));
    temp.write("program/data/file1.txt", "old 1");
    temp.write("program/data/file4.txt", "old 4");
    temp.write("staged/garrison", "new program");
    const auto before = snapshot(temp / "program");
    const pid_t child = fork();
    if (child == 0) {
        int moves = 0;
        static_cast<void>(swapStagedFiles(temp / "staged", temp / "program", [&] {
            if (++moves == 3)
                _exit(9); // a crash between two moves
        }));
        _exit(0);
    }
    int ended = 0;
    waitpid(child, &ended, 0);
    ASSERT_TRUE(WIFEXITED(ended) && WEXITSTATUS(ended) == 9);
    ASSERT_NE(snapshot(temp / "program"), before) << "a mixed program";

    EXPECT_EQ(recoverInterruptedSwap(temp / "program"),
              "An upgrade was interrupted while its files were swapped in; the program as it was before is back.");
    EXPECT_EQ(snapshot(temp / "program"), before);
    EXPECT_FALSE(fs::exists(temp / "program/.garrison-old"));
    EXPECT_EQ(recoverInterruptedSwap(temp / "program"), "") << "once";
}

TEST(ReleaseVersion, OlderSameAndNewer)
{
    const struct {
        const char *a, *b;
        int order;
    } cases[] = {
        {"1.10", "1.24", -1},  {"1.24", "1.10", 1}, {"1.22", "1.22b", -1}, {"1.22b", "1.23", -1},
        {"1.22b", "1.22b", 0}, {"1.2", "1.2.0", 0}, {"2.0", "1.99", 1},    {"1.9", "1.10", -1},
    };
    for (const auto &c : cases)
        EXPECT_EQ(compareVersions(c.a, c.b), c.order) << c.a << " " << c.b;
}

TEST(UpgradeLink, InPlaceOnlyInAWritableFolderWithTheSetupProgram)
{
    const std::string folder = runningProgramFolder();
    ASSERT_TRUE(folder.ends_with('/'));
    EXPECT_TRUE(fs::exists(folder + "garrison_app_tests"));
    EXPECT_FALSE(canUpgradeInPlace(folder)) << "no garrisonsetup beside the tests";
    EXPECT_TRUE(canUpgradeInPlace(fs::path(GARRISON_SETUP).parent_path().string() + "/"));
    EXPECT_FALSE(canUpgradeInPlace("/nonexistent/folder/"));
}

} // namespace
