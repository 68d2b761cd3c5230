#include "aaserver/ZipCatalogue.h"
#include "aaserver/AaServerConfig.h"
#include "addondb/ZipReader.h"

#include "support/CrcForge.h"
#include "support/TempFolder.h"
#include "support/ZipWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

using namespace garrison;
using test::crcOf;
using Names = std::vector<std::string>;

namespace {

TEST(ZipCatalogue, EachZipAsTheClientWillInstallItAndEveryBadOneLeftOutWithItsReason)
{
    test::TempFolder temp;
    std::filesystem::create_directories(temp / "zips");
    ASSERT_TRUE(test::writeZip(temp / "zips/tanks.zip", {{"tank.pbo", "tank"}, {"readme.txt", "read me"}}));
    ASSERT_TRUE(
        test::writeZip(temp / "zips/my island.zip", {{"auto-addon.txt", "AUTOADDON_START\nPACKAGE \"Island\"\n"
                                                                        "INSTALL \"*.pbo\" \"@island\\AddOns\\\"\n"
                                                                        "IGNORE \"*\"\nAUTOADDON_END\n"},
                                                     {"data/island.pbo", "island"},
                                                     {"notes.txt", "not installed"}}));
    temp.write("zips/corrupt.zip", "PK\x03\x04 this is no zip");
    ASSERT_TRUE(test::writeZip(
        temp / "zips/climbing.zip",
        {{"auto-addon.txt", "AUTOADDON_START\nINSTALLPATH \"*\"\nAUTOADDON_END\n"}, {"../../evil.pbo", "x"}}));
    ASSERT_TRUE(test::writeZip(temp / "zips/refused.zip", {{"auto-addon.txt", "AUTOADDON_START\nINSTALL \"*\"\n"}}));
    ASSERT_TRUE(test::writeZip(temp / "zips/z other tank.zip", {{"tank.pbo", "another tank"}}));
    ASSERT_TRUE(test::writeZip(temp / "zips/same tank.zip", {{"TANK.PBO", "tank"}}));
    std::filesystem::create_symlink(temp / "nowhere.zip", temp / "zips/dangling.zip");
    temp.write("zips/notes.txt", "not a zip at all");
    ASSERT_EQ(mkfifo((temp / "zips/pipe.zip").c_str(), 0600), 0);

    CatalogueSettings settings;
    settings.zipsFolder = temp / "zips";
    settings.baseUrl = "http://example.org/addons";
    settings.serverTexts = {"Evening coop", "", "", ""};
    settings.deactivations = {"addons\\old.pbo:4:1234ABCD"};
    settings.packages["tanks.zip"] = {7, "Needed"};
    const Catalogue catalogue = buildCatalogue(settings);

    EXPECT_EQ(catalogue.zips, (Names{"my island.zip", "same tank.zip", "tanks.zip"}));
    ASSERT_EQ(catalogue.content.packages.size(), 3u);
    const OfferedEntry &island = catalogue.content.packages[0];
    EXPECT_EQ(island.name, "Island");
    EXPECT_EQ(island.url, "http://example.org/addons/my%20island.zip");
    EXPECT_EQ(island.zipSize, std::filesystem::file_size(temp / "zips/my island.zip"));
    ASSERT_EQ(island.files.size(), 1u);
    EXPECT_EQ(island.files[0].path, "@island\\AddOns\\island.pbo");
    EXPECT_EQ(island.files[0].size, 6u);
    EXPECT_EQ(island.files[0].crc, crcOf("island"));
    const OfferedEntry &tanks = catalogue.content.packages[2];
    EXPECT_EQ(tanks.priority, 7);
    EXPECT_EQ(tanks.comment, "Needed");
    ASSERT_EQ(tanks.files.size(), 2u);
    EXPECT_EQ(tanks.files[0].path, "addons\\tank.pbo"); // the default rules
    EXPECT_EQ(catalogue.content.deactivations, "addons\\old.pbo:4:1234ABCD:");

    const std::string problems = [&] {
        std::string all;
        for (const auto &problem : catalogue.problems)
            all += problem + "\n";
        return all;
    }();
    for (const char *reason :
         {"corrupt.zip: ", "climbing.zip: the archive would write", "refused.zip: auto-addon.txt",
          "z other tank.zip: addons\\tank.pbo is also in", "dangling.zip: ", "pipe.zip: no regular file"})
        EXPECT_NE(problems.find(reason), std::string::npos) << reason << " in\n" << problems;
    EXPECT_EQ(catalogue.problems.size(), 6u) << problems;
}

// What no client could install is not served: the same refusals as the installer's.
TEST(ZipCatalogue, ZipsFromEveryRealWriter)
{
    test::TempFolder temp;
    ASSERT_EQ(std::system(("python3 '" GARRISON_WRITER_ZIPS "' '" + temp.path() + "'").c_str()), 0);
    CatalogueSettings settings;
    settings.zipsFolder = temp.path();
    settings.baseUrl = "http://example.org/addons";
    const Catalogue catalogue = buildCatalogue(settings);
    EXPECT_EQ(catalogue.zips,
              (Names{"7z-bzip2.zip", "7z-deflate.zip", "7z-lzma.zip", "bsdtar.zip", "infozip-streamed.zip",
                     "infozip-zip64.zip", "infozip.zip", "python-bzip2.zip", "python-lzma.zip", "python-zip64.zip"}));
    const std::string tank = temp.read("src/data/tank.pbo");
    for (const auto &package : catalogue.content.packages) {
        EXPECT_EQ(package.name, "Tanks");
        ASSERT_EQ(package.files.size(), 2u) << package.url;
        const auto &file = package.files[package.files[0].path == "addons\\tank.pbo" ? 0 : 1];
        EXPECT_EQ(file.path, "addons\\tank.pbo") << package.url;
        EXPECT_EQ(file.size, tank.size()) << package.url;
        EXPECT_EQ(file.crc, crcOf(tank)) << package.url;
    }
    const Names problems = {
        "7z-aes.zip: \"auto-addon.txt\" is password-protected",
        "7z-deflate64.zip: \"auto-addon.txt\" is packed with Deflate64, which Garrison cannot unpack",
        "7z-ppmd.zip: \"auto-addon.txt\" is packed with PPMd, which Garrison cannot unpack",
        "7z-zipcrypto.zip: \"auto-addon.txt\" is password-protected",
        "infozip-damaged.zip: \"data/tank.pbo\" is damaged in the archive (its size or CRC-32 does not match)",
        "infozip-zip64-damaged.zip: \"data/tank.pbo\" is damaged in the archive (its size or CRC-32 does not match)",
        "over-4gib.zip: \"big.pbo\" is larger than 4 GiB, more than Garrison can record",
        "python-lzma-damaged.zip: \"data/tank.pbo\" is damaged in the archive (its size or CRC-32 does not match)",
    };
    EXPECT_EQ(catalogue.problems, problems);
}

TEST(ZipCatalogue, AnUnreadableFolderServesNothingAndSaysSo)
{
    CatalogueSettings settings;
    settings.zipsFolder = "/nonexistent/zips";
    const Catalogue catalogue = buildCatalogue(settings);
    EXPECT_TRUE(catalogue.content.packages.empty());
    ASSERT_EQ(catalogue.problems.size(), 1u);
    EXPECT_EQ(catalogue.problems[0], "/nonexistent/zips/: cannot be read");
    EXPECT_FALSE(catalogue.folderRead);
}

TEST(ZipCatalogue, AZipIsReadAgainOnlyWhenItsFileChanged)
{
    test::TempFolder temp;
    std::filesystem::create_directories(temp / "zips");
    ASSERT_TRUE(test::writeZip(temp / "zips/tanks.zip", {{"tank.pbo", "tank"}}));
    ASSERT_TRUE(test::writeZip(temp / "zips/maps.zip", {{"map.pbo", "map"}}));
    CatalogueSettings settings;
    settings.zipsFolder = temp / "zips";
    settings.baseUrl = "http://example.org/";
    PlanCache cache;
    EXPECT_EQ(buildCatalogue(settings, &cache).zips, (Names{"maps.zip", "tanks.zip"}));

    // Other bytes in the same file with the same size and time: the kept verdict stands, the zip is not read.
    const auto path = temp / "zips/tanks.zip";
    const auto time = std::filesystem::last_write_time(path);
    std::string bytes = temp.read("zips/tanks.zip");
    std::fill(bytes.begin(), bytes.end(), 'x');
    temp.write("zips/tanks.zip", bytes);
    std::filesystem::last_write_time(path, time);
    Catalogue catalogue = buildCatalogue(settings, &cache);
    EXPECT_EQ(catalogue.zips, (Names{"maps.zip", "tanks.zip"}));
    EXPECT_TRUE(catalogue.problems.empty());
    // Without the cache, or once its time changes, it is read again and found broken.
    EXPECT_EQ(buildCatalogue(settings).zips, Names{"maps.zip"});
    std::filesystem::last_write_time(path, time + std::chrono::seconds(1));
    catalogue = buildCatalogue(settings, &cache);
    EXPECT_EQ(catalogue.zips, Names{"maps.zip"});
    ASSERT_EQ(catalogue.problems.size(), 1u);
    EXPECT_EQ(catalogue.problems[0], "tanks.zip: \"tanks.zip\" cannot be installed: it is no zip archive");

    // A zip gone leaves the cache.
    std::filesystem::remove(temp / "zips/maps.zip");
    buildCatalogue(settings, &cache);
    EXPECT_EQ(cache.zips.size(), 1u);
}

// A crafted zip must not take minutes to plan: rules times members is bounded.
TEST(ZipCatalogue, TooManyRulesForTooManyMembersIsRefusedAtOnce)
{
    test::TempFolder temp;
    std::filesystem::create_directories(temp / "zips");
    std::string rules = "AUTOADDON_START\n";
    for (int i = 0; i < 2001; ++i)
        rules += "IGNORE \"nothing" + std::to_string(i) + "\"\n";
    rules += "AUTOADDON_END\n";
    std::vector<test::ZipMember> members{{"auto-addon.txt", rules}};
    for (int i = 0; i < 5000; ++i)
        members.push_back({"m" + std::to_string(i) + ".pbo", ""});
    ASSERT_TRUE(test::writeZip(temp / "zips/crafted.zip", members));
    CatalogueSettings settings;
    settings.zipsFolder = temp / "zips";
    settings.baseUrl = "http://example.org/";
    const Catalogue catalogue = buildCatalogue(settings);
    EXPECT_TRUE(catalogue.zips.empty());
    EXPECT_EQ(catalogue.problems, Names{"crafted.zip: auto-addon.txt has 2002 rules for 5001 members, more than "
                                        "Garrison matches (10000000 rule and member pairs)"});
}

// A pipe put in a zip's place after the folder was listed must not hold the reader in open().
TEST(ZipCatalogue, APipeOrALinkToOneIsNoZipAndNeverBlocks)
{
    test::TempFolder temp;
    ASSERT_EQ(mkfifo((temp / "pipe.zip").c_str(), 0600), 0);
    std::filesystem::create_symlink(temp / "pipe.zip", temp / "link.zip");
    for (const char *name : {"pipe.zip", "link.zip"}) {
        ZipReader zip(temp / name);
        EXPECT_FALSE(zip.isOpen()) << name;
        EXPECT_EQ(zip.failure(), "it is no regular file") << name;
    }
}

TEST(AaServerConfig, ReadsTheFileAndNamesTheFirstBadLine)
{
    test::TempFolder temp;
    temp.write("good.ini", "# the evening server\n[server]\ngame = 10.0.0.5:2402\npassword = secret\nport = 2442\n"
                           "zips = /srv/zips\nbase_url = http://example.org/z/\nname = Evening coop\n"
                           "deactivate = addons\\old.pbo:4:1234ABCD\ndeactivate = addons\\older.pbo:5:1\n"
                           "\n[package tanks.zip]\npriority = 7\ncomment = Needed tonight\n");
    AaServerConfig config;
    std::string error;
    ASSERT_TRUE(loadAaServerConfig(temp / "good.ini", config, error)) << error;
    EXPECT_EQ(config.game, "10.0.0.5:2402");
    EXPECT_EQ(config.password, "secret");
    EXPECT_EQ(config.port, 2442);
    EXPECT_EQ(config.bind, "0.0.0.0");
    EXPECT_EQ(config.catalogue.zipsFolder, "/srv/zips");
    EXPECT_EQ(config.catalogue.serverTexts[0], "Evening coop");
    EXPECT_EQ(config.catalogue.deactivations, (Names{"addons\\old.pbo:4:1234ABCD", "addons\\older.pbo:5:1"}));
    EXPECT_EQ(config.catalogue.packages["tanks.zip"].priority, 7);
    EXPECT_EQ(config.catalogue.packages["tanks.zip"].comment, "Needed tonight");

    const struct {
        const char *text;
        const char *error;
    } bad[] = {
        {"[server]\nport = 70000\n", "line 2: \"port = 70000\" is not a setting of [server]"},
        {"[server]\ngmae = x\n", "line 2: \"gmae = x\""},
        {"[package a.zip]\npriority = high\n", "line 2: \"priority = high\""},
        {"[server]\njust words\n", "line 2: expected \"key = value\""},
        {"game = outside any section\n", "is not a setting of []"},
    };
    for (const auto &c : bad) {
        temp.write("bad.ini", c.text);
        AaServerConfig ignored;
        EXPECT_FALSE(loadAaServerConfig(temp / "bad.ini", ignored, error)) << c.text;
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
    }
    EXPECT_FALSE(loadAaServerConfig(temp / "none.ini", config, error));
    EXPECT_NE(error.find("cannot be read"), std::string::npos);
}

TEST(AaServerConfig, ACheckRefusesWhatTheServerWouldRefuse)
{
    AaServerConfig good;
    good.game = "10.0.0.5:2402";
    good.catalogue.zipsFolder = "/srv/zips";
    good.catalogue.baseUrl = "http://example.org/z/";
    good.catalogue.deactivations = {"addons\\old.pbo:4:1234ABCD"};
    EXPECT_TRUE(aaServerConfigProblems(good).empty());
    good.game = "coop.example.org";
    EXPECT_TRUE(aaServerConfigProblems(good).empty()) << "the default port";

    const struct {
        void (*spoil)(AaServerConfig &);
        const char *problem;
    } cases[] = {
        {[](AaServerConfig &c) { c.game = "127.0.0.1:99999"; }, "game = 127.0.0.1:99999: \"99999\" is no port number"},
        {[](AaServerConfig &c) { c.game = "127.0.0.1:abc"; }, "game = 127.0.0.1:abc: \"abc\" is no port number"},
        {[](AaServerConfig &c) { c.game = "127.0.0.1:"; }, "game = 127.0.0.1:: \"\" is no port number"},
        {[](AaServerConfig &c) { c.game = ":2302"; }, "game = :2302: no host name or address before the port"},
        {[](AaServerConfig &c) { c.bind = "999.1.1.1"; }, "bind = 999.1.1.1: no IPv4 address"},
        {[](AaServerConfig &c) { c.bind = "localhost"; }, "bind = localhost: no IPv4 address"},
        {[](AaServerConfig &c) { c.catalogue.deactivations = {"addons\\x.pbo"}; },
         "deactivate = addons\\x.pbo: not PATH:SIZE:CRC"},
        {[](AaServerConfig &c) { c.catalogue.deactivations = {"addons\\x.pbo:big:12"}; },
         "deactivate = addons\\x.pbo:big:12"},
        {[](AaServerConfig &c) { c.catalogue.deactivations = {"addons\\x.pbo:4:XYZ"}; },
         "deactivate = addons\\x.pbo:4:XYZ"},
        {[](AaServerConfig &c) { c.catalogue.deactivations = {"c:\\x.pbo:4:12"}; }, "deactivate = c:\\x.pbo:4:12"},
        {[](AaServerConfig &c) { c.catalogue.deactivations = {":4:12"}; }, "deactivate = :4:12"},
        {[](AaServerConfig &c) { c.catalogue.baseUrl = "/srv/zips"; }, "base_url = /srv/zips: clients download only"},
        {[](AaServerConfig &c) { c.catalogue.baseUrl.clear(); }, "no URL of the zips folder"},
        {[](AaServerConfig &c) { c.catalogue.zipsFolder.clear(); }, "no zips folder"},
    };
    for (const auto &c : cases) {
        AaServerConfig config = good;
        c.spoil(config);
        const auto problems = aaServerConfigProblems(config);
        ASSERT_EQ(problems.size(), 1u) << c.problem;
        EXPECT_EQ(problems[0].rfind(c.problem, 0), 0u) << problems[0];
    }
}

TEST(AaServerConfig, AMisplacedPasswordIsNotRepeatedInTheError)
{
    test::TempFolder temp;
    temp.write("bad.ini", "[sever]\npassword = hunter2\n");
    AaServerConfig config;
    std::string error;
    EXPECT_FALSE(loadAaServerConfig(temp / "bad.ini", config, error));
    EXPECT_NE(error.find("line 2: \"password = (not shown)\" is not a setting of [sever]"), std::string::npos) << error;
    EXPECT_EQ(error.find("hunter2"), std::string::npos) << error;
}

TEST(AaServerConfig, TheShippedExampleReads)
{
    AaServerConfig config;
    std::string error;
    ASSERT_TRUE(loadAaServerConfig(GARRISON_EXAMPLES "/aaserver.ini", config, error)) << error;
    EXPECT_EQ(config.game, "127.0.0.1:2302");
    EXPECT_EQ(config.catalogue.packages["tanks.zip"].priority, 7);
    EXPECT_TRUE(aaServerConfigProblems(config).empty());
}

} // namespace
