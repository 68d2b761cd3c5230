#include "ScannerFixture.h"

#include "addondb/InactiveName.h"
#include "addondb/PackageArchive.h"
#include "platform/FileSystem.h"
#include "support/CrcForge.h"
#include "support/ZipWriter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

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
    std::string zips(const std::string &name) { return game / ("../" + name); }

    std::atomic<std::uint64_t> bytesDone{0}, bytesTotal{0};
    std::string failure, name;
};

TEST_F(PackageArchiveTest, DefaultRulesFlattenIntoAddOns)
{
    const std::string archive = zips("My.Addon.zip");
    writeZip(archive, {{"data/", "", false}, {"data/x.pbo", "X", false}, {"readme.txt", "read me"}});
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
    writeZip(archive, {{"auto-addon.txt", "header\r\nAUTOADDON_START\r\nPACKAGE \"Night Pack\"\r\nINFOURL http://x\r\n"
                                          "INSTALL *.pbo MyMod/AddOns/\r\nINSTALL readme.txt docs\\readme-mine.txt\r\n"
                                          "INSTALLPATH missions/*\r\nAUTOADDON_END\r\ntrailer"},
                       {"pbos/n.pbo", "N"},
                       {"readme.txt", "R"},
                       {"missions/m.sqm", "M"},
                       {"other.txt", "not matched"}});
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
    writeZip(archive, {{"x.pbo", "new version"}, {"same.pbo", "same"}});
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
    writeZip(archive, {{"x.pbo", "shared add-on"}});
    ASSERT_TRUE(install(archive, &offered)) << failure;
    EXPECT_FALSE(pathExists(game / "AddOns/x.pbo")); // not written again
    EXPECT_EQ(packageFiles("shared"), Names{"@mod\\AddOns\\x.pbo"});
    EXPECT_EQ(bytesDone.load(), bytesTotal.load());
}

TEST_F(PackageArchiveTest, InfoZipArchivesInstallToo)
{
    file("../src/a/b.pbo", "B");
    file("../src/a/c.txt", "C");
    const std::string archive = zips("infozip.zip");
    ASSERT_EQ(std::system(("cd '" + game.path() + "../src' && zip -qr '" + archive + "' a").c_str()), 0);
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
        writeZip(archive, c.members);
        const auto packages = database.packages().size();
        EXPECT_FALSE(install(archive)) << c.name;
        EXPECT_NE(failure.find(c.why), std::string::npos) << c.name << ": " << failure;
        EXPECT_EQ(database.packages().size(), packages) << c.name;
    }
    EXPECT_FALSE(pathExists(game / "../evil.pbo"));
    EXPECT_FALSE(install(zips("missing.zip")));
    game.write("../text.zip", "not a zip");
    EXPECT_FALSE(install(zips("text.zip")));
}

TEST_F(PackageArchiveTest, CorruptMemberFails)
{
    const std::string archive = zips("corrupt.zip");
    const std::string content(5000, 'z');
    writeZip(archive, {{"good.pbo", "good"}, {"bad.pbo", content, false}});
    // Change one byte of the stored member's data: its CRC no longer holds.
    std::string bytes = game.read("../corrupt.zip");
    const auto at = bytes.find(std::string(100, 'z'));
    ASSERT_NE(at, std::string::npos);
    bytes[at + 50] = 'y';
    game.write("../corrupt.zip", bytes);
    EXPECT_FALSE(install(archive));
    EXPECT_NE(failure.find("CRC"), std::string::npos) << failure;
    EXPECT_EQ(game.read("AddOns/good.pbo"), "good");
    EXPECT_FALSE(pathExists(game / "AddOns/bad.pbo"));
    EXPECT_FALSE(pathExists(game / ("AddOns/" + inactiveName("bad.pbo", crcOf(content)))));
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
