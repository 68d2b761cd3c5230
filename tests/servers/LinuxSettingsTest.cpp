#include "servers/LinuxSettings.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

using namespace garrison;

namespace {

TEST(LinuxSettings, DefaultsWithoutAFileOrAValue)
{
    test::TempFolder temp;
    EXPECT_EQ(LinuxSettings::load(temp / "none.conf"), LinuxSettings{});
    temp.write("empty.conf", "runner =\nwine_prefix =   /home/p/.wine-ofp  \n# runner = nothing\ncode_page =\n"
                             "central_host = news.example:48200\nmaster_hosts = m1.example, m2.example:28910\n"
                             "master_key = abcdef\n");
    const LinuxSettings settings = LinuxSettings::load(temp / "empty.conf");
    EXPECT_EQ(settings.runner, "wine") << "an empty runner would start the .exe itself";
    EXPECT_EQ(settings.winePrefix, "/home/p/.wine-ofp");
    EXPECT_EQ(settings.codePage, "Windows-1252");
    EXPECT_EQ(settings.centralHost, "news.example:48200");
    EXPECT_EQ(settings.masterHosts, "m1.example, m2.example:28910");
    EXPECT_EQ(settings.masterKey, "abcdef");
    ASSERT_TRUE(LinuxSettings::save(settings, temp / "empty.conf"));
    EXPECT_EQ(LinuxSettings::load(temp / "empty.conf"), settings) << "the masters are kept";
}

TEST(LinuxSettings, SavingKeepsCommentsAndKeysOfOtherVersions)
{
    test::TempFolder temp;
    temp.write("garrison-linux.conf", "# mine\nwine_prefix = /old\nfuture_key = 1\ncode_page = windows-1251\n");
    LinuxSettings settings;
    settings.runner = "proton run";
    settings.winePrefix = "/new";
    settings.codePage = "Windows-1250";
    ASSERT_TRUE(LinuxSettings::save(settings, temp / "garrison-linux.conf"));
    EXPECT_EQ(temp.read("garrison-linux.conf"), "# mine\nwine_prefix = /new\nfuture_key = 1\ncode_page = Windows-1250\n"
                                                "central_host = \nrunner = proton run\n");
    EXPECT_EQ(LinuxSettings::load(temp / "garrison-linux.conf"), settings);
    EXPECT_FALSE(LinuxSettings::save(settings, temp / "no/such/folder/garrison-linux.conf"));
}

// The demo appends a key with ">>": the line that counts is the one a save changes.
TEST(LinuxSettings, ALaterLineOfAKeyCountsAndCommentsAreNoValues)
{
    test::TempFolder temp;
    temp.write("garrison-linux.conf", "runner = wine # the default\ncentral_host = old:1\n"
                                      "runner = wine64 # mine\ncentral_host = new:2\nwine_prefix = /p#1\n");
    LinuxSettings settings = LinuxSettings::load(temp / "garrison-linux.conf");
    EXPECT_EQ(settings.runner, "wine64");
    EXPECT_EQ(settings.centralHost, "new:2");
    EXPECT_EQ(settings.winePrefix, "/p#1") << "a # inside a value is no comment";
    settings.runner = "proton run";
    ASSERT_TRUE(LinuxSettings::save(settings, temp / "garrison-linux.conf"));
    EXPECT_EQ(LinuxSettings::load(temp / "garrison-linux.conf"), settings);
    EXPECT_EQ(temp.read("garrison-linux.conf"), "runner = wine # the default\ncentral_host = old:1\n"
                                                "runner = proton run # mine\ncentral_host = new:2\n"
                                                "wine_prefix = /p#1\ncode_page = Windows-1252\n");
}

} // namespace
