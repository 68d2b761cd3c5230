#include "ScannerFixture.h"

#include "addondb/InactiveName.h"
#include "addondb/PackageArchive.h"
#include "addondb/PackageOperations.h"
#include "platform/FileSystem.h"
#include "support/CrcForge.h"
#include "support/ZipWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sys/resource.h>

using namespace garrison;
using test::crcOf;
using Names = std::vector<std::string>;
using test::writeZip;

namespace {

class PackageArchiveTest : public ::testing::Test, public test::ScannerFixture {
protected:
    PackageArchiveTest()
    {
        file("OperationFlashpoint.exe", "exe");
        file("AddOns/6g30.pbo", "stock");
        scan();
    }
    bool install(const std::string &archive, const OfferedPackage *offered = nullptr)
    {
        PackageArchive package(database, archive);
        const bool done = package.install(bytesDone, bytesTotal, offered);
        failure = package.failure();
        name = package.packageName();
        return done;
    }
    Names packageFiles(const std::string &packageName)
    {
        Names paths;
        const int index = database.packageIndex(packageName);
        if (index >= 0) {
            for (const auto &node : database.packages()[static_cast<std::size_t>(index)].files)
                paths.push_back(node->relativePath());
        }
        return paths;
    }
    std::string zips(const std::string &zipName) { return archives / zipName; }
    bool uninstall(const std::string &packageName)
    {
        const int index = database.packageIndex(packageName);
        return index >= 0 && uninstallPackages(database, {static_cast<std::size_t>(index)}).front();
    }
    // Every node with its status and packages, and every file on disk: what a
    // failed installation must leave as it found it.
    std::vector<std::string> state() const
    {
        std::vector<std::string> lines;
        for (const FileNode *each : flatten(*database.root()))
            lines.push_back(each->relativePath() + " " + std::string(each->diskName()) + " " +
                            std::to_string(static_cast<int>(each->status)) + " " + std::to_string(each->flags) + " " +
                            std::to_string(each->packageCount));
        for (const auto &package : database.packages()) {
            lines.push_back("package " + package.name);
            for (const auto &file : package.files)
                lines.push_back("  " + file->relativePath());
        }
        for (const auto &entry : std::filesystem::recursive_directory_iterator(game.path()))
            lines.push_back("disk " + entry.path().string());
        return lines;
    }

    test::TempFolder archives;
    std::atomic<std::uint64_t> bytesDone{0}, bytesTotal{0};
    std::string failure, name;
};

TEST_F(PackageArchiveTest, DefaultRulesFlattenIntoAddOns)
{
    const std::string archive = zips("My.Addon.zip");
    ASSERT_TRUE(writeZip(archive, {{"data/", "", false}, {"data/x.pbo", "X", false}, {"readme.txt", "read me"}}));
    ASSERT_TRUE(install(archive)) << failure;
    EXPECT_EQ(name, "My.Addon");
    EXPECT_EQ(packageFiles("My.Addon"), (Names{"AddOns\\x.pbo", "AddOns\\readme.txt"}));
    EXPECT_EQ(game.read("AddOns/x.pbo"), "X");
    EXPECT_EQ(game.read("AddOns/readme.txt"), "read me");
    EXPECT_EQ(node("AddOns\\x.pbo")->status, NodeStatus::Present);
    EXPECT_EQ(bytesDone.load(), bytesTotal.load());
    EXPECT_EQ(bytesTotal.load(), 8u);
    // The archive's date, as local time.
    std::tm local{};
    local.tm_year = 120;
    local.tm_mday = 2;
    local.tm_hour = 3;
    local.tm_min = 4;
    local.tm_sec = 4;
    local.tm_isdst = -1;
    const auto moment = std::mktime(&local);
    EXPECT_EQ(timespecFromFileTime(*fileModificationTime(game / "AddOns/x.pbo")).tv_sec, moment);
}

TEST_F(PackageArchiveTest, InstructionsRedirectAndSecondInstall)
{
    const std::string archive = zips("pack.zip");
    ASSERT_TRUE(writeZip(
        archive, {{"auto-addon.txt", "header\r\nAUTOADDON_START\r\nPACKAGE \"Night Pack\"\r\nINFOURL http://x\r\n"
                                     "INSTALL *.pbo MyMod/AddOns/\r\nINSTALL readme.txt docs\\readme-mine.txt\r\n"
                                     "INSTALLPATH missions/*\r\nAUTOADDON_END\r\ntrailer"},
                  {"pbos/n.pbo", "N"},
                  {"readme.txt", "R"},
                  {"missions/m.sqm", "M"},
                  {"other.txt", "not matched"}}));
    database.offered().installRedirect = "Res\\AddOns\\";
    ASSERT_TRUE(install(archive)) << failure;
    // Stock folders (Res\AddOns\, missions\) stay with "<Core files>".
    EXPECT_EQ(packageFiles("Night Pack"),
              (Names{"Res\\AddOns\\n.pbo", "docs\\", "docs\\readme-mine.txt", "missions\\m.sqm"}));
    EXPECT_EQ(database.packages().back().comment, "http://x");
    EXPECT_FALSE(pathExists(game / "other.txt"));
    EXPECT_EQ(game.read("docs/readme-mine.txt"), "R");

    // Again: every file is there already; nothing is written, "~" names it.
    const FileTime before = *fileModificationTime(game / "Res/AddOns/n.pbo");
    setFileModificationTime(game / "Res/AddOns/n.pbo", before - 10'000'000);
    ASSERT_TRUE(install(archive)) << failure;
    EXPECT_EQ(name, "Night Pack~");
    EXPECT_EQ(*fileModificationTime(game / "Res/AddOns/n.pbo"), before - 10'000'000);
    EXPECT_EQ(node("Res\\AddOns\\n.pbo")->packageCount, 2);
}

TEST_F(PackageArchiveTest, ReplacesAnOlderVersionAndAdoptsUnknownCopies)
{
    file("AddOns/x.pbo", "old version");
    file("AddOns/same.pbo", "same");
    scan();
    const std::string archive = zips("new.zip");
    ASSERT_TRUE(writeZip(archive, {{"x.pbo", "new version"}, {"same.pbo", "same"}}));
    ASSERT_TRUE(install(archive)) << failure;
    EXPECT_EQ(game.read("AddOns/x.pbo"), "new version");
    EXPECT_EQ(game.read("AddOns/" + inactiveName("x.pbo", crcOf("old version"))), "old version");
    EXPECT_EQ(packagesOf("AddOns\\same.pbo"), Names{"new"}); // out of "<Unknown addons>"
}

TEST_F(PackageArchiveTest, WithoutInstallingExistingFilesTheCopyElsewhereIsBound)
{
    file("@mod/AddOns/x.pbo", "shared add-on");
    scan();
    database.derive();
    OfferedPackage offered;
    offered.matches = {node("@mod\\AddOns\\x.pbo")};
    database.offered().installExistingFiles = false;
    const std::string archive = zips("shared.zip");
    ASSERT_TRUE(writeZip(archive, {{"x.pbo", "shared add-on"}}));
    ASSERT_TRUE(install(archive, &offered)) << failure;
    EXPECT_FALSE(pathExists(game / "AddOns/x.pbo")); // not written again
    EXPECT_EQ(packageFiles("shared"), Names{"@mod\\AddOns\\x.pbo"});
    EXPECT_EQ(bytesDone.load(), bytesTotal.load());
}

TEST_F(PackageArchiveTest, InfoZipArchivesInstallToo)
{
    archives.write("src/a/b.pbo", "B");
    archives.write("src/a/c.txt", "C");
    const std::string archive = zips("infozip.zip");
    ASSERT_EQ(std::system(("cd '" + archives.path() + "src' && zip -qr '" + archive + "' a").c_str()), 0);
    ASSERT_TRUE(install(archive)) << failure;
    EXPECT_EQ(packageFiles("infozip"), (Names{"AddOns\\b.pbo", "AddOns\\c.txt"}));
}

TEST_F(PackageArchiveTest, RefusedBeforeAnythingChanges)
{
    const struct {
        const char *name;
        std::vector<test::ZipMember> members;
        const char *why;
    } cases[] = {
        {"climb.zip",
         {{"auto-addon.txt", "AUTOADDON_START\nINSTALLPATH *\nAUTOADDON_END\n"}, {"../evil.pbo", "E"}},
         "outside the game folder"},
        {"absolute.zip",
         {{"auto-addon.txt", "AUTOADDON_START\nINSTALLPATH *\nAUTOADDON_END\n"}, {"/etc/evil", "E"}},
         "outside the game folder"},
        {"parent.zip",
         {{"auto-addon.txt", "AUTOADDON_START\nINSTALL *.pbo ..\\\nAUTOADDON_END\n"}, {"a.pbo", "A"}},
         "malformed"},
        {"short.zip", {{"auto-addon.txt", "AUTOADDON_START\nPACKAGE\nAUTOADDON_END\n"}, {"a.pbo", "A"}}, "malformed"},
        {"noend.zip", {{"auto-addon.txt", "AUTOADDON_START\nPACKAGE x\n"}, {"a.pbo", "A"}}, "malformed"},
    };
    for (const auto &c : cases) {
        const std::string archive = zips(c.name);
        ASSERT_TRUE(writeZip(archive, c.members));
        const auto packages = database.packages().size();
        EXPECT_FALSE(install(archive)) << c.name;
        EXPECT_NE(failure.find(c.why), std::string::npos) << c.name << ": " << failure;
        EXPECT_EQ(database.packages().size(), packages) << c.name;
    }
    EXPECT_FALSE(pathExists(archives / "evil.pbo"));
    EXPECT_FALSE(install(zips("missing.zip")));
    archives.write("text.zip", "not a zip");
    EXPECT_FALSE(install(zips("text.zip")));
}

TEST_F(PackageArchiveTest, CorruptMemberFails)
{
    const std::string archive = zips("corrupt.zip");
    const std::string content(5000, 'z');
    ASSERT_TRUE(writeZip(archive, {{"good.pbo", "good"}, {"bad.pbo", content, false}}));
    // Change one byte of the stored member's data: its CRC no longer holds.
    std::string bytes = archives.read("corrupt.zip");
    const auto at = bytes.find(std::string(100, 'z'));
    ASSERT_NE(at, std::string::npos);
    bytes[at + 50] = 'y';
    archives.write("corrupt.zip", bytes);
    const auto before = state();
    EXPECT_FALSE(install(archive));
    EXPECT_NE(failure.find("CRC"), std::string::npos) << failure;
    // Taken back whole: the good member that came first is gone again too.
    EXPECT_EQ(state(), before);
    EXPECT_FALSE(pathExists(game / "AddOns/bad.pbo"));
    EXPECT_FALSE(pathExists(game / ("AddOns/" + inactiveName("bad.pbo", crcOf(content)))));
}

TEST_F(PackageArchiveTest, ASecondVersionSpeltInOtherCaseSwitchesTheFirstOff)
{
    const std::string v1 = zips("v1.zip"), v2 = zips("v2.zip");
    ASSERT_TRUE(writeZip(v1, {{"AddOns/x.pbo", "version one"}}));
    ASSERT_TRUE(writeZip(v2, {{"AddOns/X.pbo", "version two"}}));
    ASSERT_TRUE(install(v1)) << failure;
    ASSERT_TRUE(install(v2)) << failure;
    // One active x.pbo whatever its case: the game would see only one of two.
    Names active;
    for (const auto &entry : std::filesystem::directory_iterator(game / "AddOns")) {
        const std::string file = entry.path().filename().string();
        if (file.size() == 5 && (file[0] == 'x' || file[0] == 'X'))
            active.push_back(file);
    }
    EXPECT_EQ(active, Names{"X.pbo"});
    EXPECT_EQ(game.read("AddOns/X.pbo"), "version two");
    EXPECT_EQ(game.read("AddOns/x.pbo.52c51600.aab"), "version one");
    EXPECT_EQ(node("AddOns\\x.pbo")->status, NodeStatus::Inactive);
    EXPECT_EQ(node("AddOns\\x.pbo")->diskName(), "x.pbo.52c51600.aab");
    EXPECT_EQ(node("AddOns\\X.pbo")->status, NodeStatus::Present);
}

TEST_F(PackageArchiveTest, EmptyAndDotComponentsMeanTheGameFolder)
{
    const struct {
        const char *instructions;
        const char *redirect;
    } cases[] = {
        {"INSTALL *.pbo /addons/", ""},
        {"INSTALL *.pbo addons//", ""},
        {"INSTALL *.pbo ./addons/", ""},
        {"", "\\AddOns\\"}, // the install folder " "
    };
    int round = 0;
    for (const auto &c : cases) {
        const std::string content = "add-on " + std::to_string(++round);
        const std::string archive = zips("spelling" + std::to_string(round) + ".zip");
        std::vector<test::ZipMember> members = {{"x.pbo", content}};
        if (*c.instructions)
            members.push_back(
                {"auto-addon.txt", std::string("AUTOADDON_START\n") + c.instructions + "\nAUTOADDON_END\n"});
        ASSERT_TRUE(writeZip(archive, members));
        database.offered().installRedirect = c.redirect;
        ASSERT_TRUE(install(archive)) << c.instructions << c.redirect << ": " << failure;
        EXPECT_EQ(packageFiles(name), Names{"AddOns\\x.pbo"}) << c.instructions << c.redirect;
        EXPECT_EQ(game.read("AddOns/x.pbo"), content) << c.instructions << c.redirect;
    }
    EXPECT_FALSE(pathExists(game / "addons"));
}

TEST_F(PackageArchiveTest, NamesTooLongForTheGameAreRefused)
{
    const std::string longName = "data/" + std::string(1100, 'n') + ".pbo";
    const std::string archive = zips("long.zip");
    ASSERT_TRUE(writeZip(archive, {{"ok.pbo", "fine"}, {longName, "long"}}));
    const auto before = state();
    EXPECT_FALSE(install(archive));
    EXPECT_NE(failure.find("data/nnnn"), std::string::npos) << failure;
    EXPECT_NE(failure.find("259"), std::string::npos) << failure;
    EXPECT_EQ(state(), before);

    // At the limit: 259 characters install, 260 do not (in folders, so no one
    // name passes what the file system takes).
    std::string folders;
    for (const char letter : {'a', 'b', 'c', 'd'})
        folders += std::string(60, letter) + "/";
    const std::string longest = folders + std::string(11, 'n') + ".txt";
    ASSERT_EQ(longest.size(), 259u);
    ASSERT_TRUE(writeZip(archive, {{longest, "longest"}}));
    EXPECT_TRUE(install(archive)) << failure;
    EXPECT_EQ(packageFiles("long"), Names{"AddOns\\nnnnnnnnnnn.txt"});
    EXPECT_EQ(game.read("AddOns/nnnnnnnnnnn.txt"), "longest");
    const std::string oneMore = folders + std::string(12, 'n') + ".txt";
    ASSERT_TRUE(writeZip(archive, {{oneMore, "one more"}}));
    EXPECT_FALSE(install(archive));
    EXPECT_FALSE(pathExists(game / "AddOns/nnnnnnnnnnnn.txt"));
}

TEST_F(PackageArchiveTest, AnInstructionFileOfHostileSizeFailsCleanly)
{
    // A real small archive whose auto-addon.txt claims 2 GB in both headers.
    std::string bytes = test::zipBytes({{"auto-addon.txt", "AUTOADDON_START\nAUTOADDON_END\n"}, {"x.pbo", "x"}});
    ASSERT_LT(bytes.size(), 400u);
    const auto claim = [&](std::size_t at) {
        bytes[at] = 0;
        bytes[at + 1] = 0;
        bytes[at + 2] = 0;
        bytes[at + 3] = static_cast<char>(0x80);
    };
    ASSERT_EQ(bytes.compare(0, 4, "PK\x03\x04"), 0);
    claim(22);
    const auto central = bytes.find("PK\x01\x02");
    ASSERT_NE(central, std::string::npos);
    claim(central + 24);
    archives.write("huge.zip", bytes);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const long peakBefore = usage.ru_maxrss;
    const auto before = state();
    EXPECT_FALSE(install(zips("huge.zip")));
    EXPECT_NE(failure.find("auto-addon.txt is larger than 64 KiB"), std::string::npos) << failure;
    EXPECT_EQ(state(), before);
    getrusage(RUSAGE_SELF, &usage);
    EXPECT_LT(usage.ru_maxrss - peakBefore, 16 * 1024) << "kilobytes";
}

TEST_F(PackageArchiveTest, AWriteThatFailsPartWayLeavesNothingBehind)
{
    file("AddOns/old.pbo", "unknown add-on");
    scan();
    const std::string archive = zips("big.zip");
    ASSERT_TRUE(writeZip(archive, {{"small.pbo", "small"},
                                   {"Sub/deep/big.pbo", std::string(3 * 1024 * 1024, 'b')},
                                   {"auto-addon.txt", "AUTOADDON_START\nDEACTIVATE addons/old.pbo\n"
                                                      "INSTALLPATH Sub/*\nINSTALL *.pbo addons/\nAUTOADDON_END\n"}}));
    const auto before = state();
    // The file size limit makes the write fail half-way, as a full disk would.
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    rlimit limited = previous;
    limited.rlim_cur = 1024 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const bool installed = install(archive);
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(installed);
    EXPECT_NE(failure.find("cannot be written: File too large"), std::string::npos) << failure;
    EXPECT_EQ(state(), before);
    EXPECT_EQ(game.read("AddOns/old.pbo"), "unknown add-on");
    EXPECT_FALSE(pathExists(game / "Sub"));
}

// The same package zipped by every writer players use: installed with the
// exact bytes, or refused with the reason and nothing changed.
TEST_F(PackageArchiveTest, ZipsFromEveryRealWriter)
{
    ASSERT_EQ(std::system(("python3 '" GARRISON_WRITER_ZIPS "' '" + archives.path() + "'").c_str()), 0);
    const struct {
        const char *zip;
        const char *refusal; // null: installs
    } cases[] = {
        {"infozip", nullptr},
        {"infozip-zip64", nullptr},
        {"infozip-streamed", nullptr},
        {"7z-deflate", nullptr},
        {"7z-bzip2", nullptr},
        {"7z-lzma", nullptr},
        {"python-bzip2", nullptr},
        {"python-lzma", nullptr},
        {"python-zip64", nullptr},
        {"bsdtar", nullptr},
        {"7z-deflate64", "\"auto-addon.txt\" is packed with Deflate64, which Garrison cannot unpack"},
        {"7z-ppmd", "\"auto-addon.txt\" is packed with PPMd, which Garrison cannot unpack"},
        {"7z-zipcrypto", "\"auto-addon.txt\" is password-protected"},
        {"7z-aes", "\"auto-addon.txt\" is password-protected"},
        {"over-4gib", "\"big.pbo\" is larger than 4 GiB"},
        {"infozip-zip64-damaged", "\"data/tank.pbo\" is damaged in the archive"},
        {"infozip-damaged", "\"data/tank.pbo\" is damaged in the archive"},
        {"python-lzma-damaged", "\"data/tank.pbo\" is damaged in the archive"},
    };
    const std::string tank = archives.read("src/data/tank.pbo");
    const std::string readme = archives.read("src/readme.txt");
    for (const auto &c : cases) {
        const auto before = state();
        const bool installed = install(zips(std::string(c.zip) + ".zip"));
        if (c.refusal) {
            EXPECT_FALSE(installed) << c.zip;
            EXPECT_NE(failure.find(c.refusal), std::string::npos) << c.zip << ": " << failure;
            EXPECT_EQ(state(), before) << c.zip;
            continue;
        }
        ASSERT_TRUE(installed) << c.zip << ": " << failure;
        // The rules of auto-addon.txt were followed, whatever the member's spelling.
        Names files = packageFiles(name);
        std::sort(files.begin(), files.end());
        EXPECT_EQ(files, (Names{"AddOns\\tank.pbo", "docs\\", "docs\\readme.txt"})) << c.zip;
        EXPECT_EQ(game.read("AddOns/tank.pbo"), tank) << c.zip;
        EXPECT_EQ(game.read("docs/readme.txt"), readme) << c.zip;
        EXPECT_EQ(node("AddOns\\tank.pbo")->size, tank.size()) << c.zip;
        EXPECT_EQ(node("AddOns\\tank.pbo")->crc, crcOf(tank)) << c.zip;
        EXPECT_EQ(bytesDone.load(), bytesTotal.load()) << c.zip;
        // The next writer's package finds the files there and binds them.
        ASSERT_TRUE(uninstall(name)) << c.zip;
    }
}

TEST(InstallInstructions, PatternsAndNames)
{
    const struct {
        const char *pattern, *path;
        bool matches;
    } cases[] = {
        {"*.pbo", "data\\X.PBO", true},
        {"*.pbo", "x.pbo.bak", false},
        {"?.pbo", "a.pbo", true},
        {"?.pbo", "ab.pbo", false},
        {"*", "", true},
        {"a*b*c", "aXXbYYc", true},
        {"a*b*c", "aXXbYY", false},
        {"", "", true},
        {"**a", "bba", true},
    };
    for (const auto &c : cases)
        EXPECT_EQ(matchesPattern(c.pattern, c.path), c.matches) << c.pattern << " " << c.path;
    EXPECT_EQ(defaultPackageName("C:\\dl\\my.pack.zip"), "my.pack");
    EXPECT_EQ(defaultPackageName("/tmp/.hidden"), ".hidden");
    EXPECT_EQ(defaultPackageName("noext"), "noext");
    const auto quoted = parseInstallInstructions("AUTOADDON_START\nINSTALL \"my file.pbo\"\"\" \"a b/\" extra\n"
                                                 "bogus line\nDEACTIVATE addons/old.pbo\nAUTOADDON_END");
    ASSERT_TRUE(quoted);
    ASSERT_EQ(quoted->rules.size(), 2u);
    EXPECT_EQ(quoted->rules[1].pattern, "my file.pbo");
    EXPECT_EQ(quoted->rules[1].folder, "a b\\");
    EXPECT_EQ(quoted->deactivations, Names{"addons\\old.pbo"});
    EXPECT_EQ(parseInstallInstructions("no markers")->rules.size(), 3u);
}

} // namespace
