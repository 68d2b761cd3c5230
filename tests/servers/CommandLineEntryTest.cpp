#include "servers/CommandLineEntry.h"

#include <gtest/gtest.h>

using namespace garrison;
using Words = std::vector<std::string>;

namespace {

TEST(CommandLineEntry, CreatesAnEntryThenFindsItAgainInAnyCase)
{
    Settings settings;
    ServerEntry other;
    other.address = "other:1";
    other.name = "Other";
    settings.servers.push_back(other);
    ASSERT_TRUE(applyCommandLine(
        Words{"-connect=host.example", "-port=2302", "-password=secret", "-nosplash", "-name=Bob"}, settings));
    ASSERT_EQ(settings.servers.size(), 2u);
    const ServerEntry &entry = settings.servers[1];
    EXPECT_EQ(entry.address, "host.example:2302");
    EXPECT_EQ(entry.name, "host.example:2302");
    EXPECT_EQ(entry.password, "secret");
    EXPECT_EQ(entry.startupParameters, "\"-name=Bob\"");
    EXPECT_EQ(entry.manualMods, "");
    EXPECT_EQ(settings.selectedIndex, 1);

    settings.selectedIndex = 0;
    ASSERT_TRUE(
        applyCommandLine(Words{"-CONNECT=HOST.example", "-Port=2302", "-NOSPLASH", "-nomap", "-mod=@a;@b"}, settings));
    ASSERT_EQ(settings.servers.size(), 2u);
    EXPECT_EQ(settings.selectedIndex, 1);
    EXPECT_EQ(settings.servers[1].address, "host.example:2302"); // kept as first written
    EXPECT_EQ(settings.servers[1].password, "");                 // no password given this time
    EXPECT_EQ(settings.servers[1].startupParameters, "-nomap");
    EXPECT_EQ(settings.servers[1].manualMods, "@a;@b");
}

TEST(CommandLineEntry, WithoutAHostNothingChanges)
{
    Settings settings;
    settings.selectedIndex = 4;
    EXPECT_FALSE(applyCommandLine(Words{"-port=2302", "-nomap"}, settings));
    EXPECT_TRUE(settings.servers.empty());
    EXPECT_EQ(settings.selectedIndex, 4);
}

TEST(CommandLineEntry, AHostWithoutAPortKeepsTheColon)
{
    Settings settings;
    ASSERT_TRUE(applyCommandLine(Words{"-connect=10.0.0.1"}, settings));
    EXPECT_EQ(settings.servers.at(0).address, "10.0.0.1:");
}

} // namespace
