#include "aaserver/ZipCatalogue.h"
#include "aaserver/AaServerConfig.h"

#include "support/CrcForge.h"
#include "support/TempFolder.h"
#include "support/ZipWriter.h"

#include <gtest/gtest.h>

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

TEST(AaServerConfig, TheShippedExampleReads)
{
    AaServerConfig config;
    std::string error;
    ASSERT_TRUE(loadAaServerConfig(GARRISON_EXAMPLES "/aaserver.ini", config, error)) << error;
    EXPECT_EQ(config.game, "127.0.0.1:2302");
    EXPECT_EQ(config.catalogue.packages["tanks.zip"].priority, 7);
}

} // namespace
