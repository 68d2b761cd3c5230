#include "servers/ServerAddress.h"
#include "servers/ParameterSplit.h"

#include <gtest/gtest.h>

using namespace garrison;

namespace {

TEST(ServerAddress, SplitsAtTheFirstColonAndTrims)
{
    const struct {
        const char *address;
        const char *host;
        const char *port;
    } cases[] = {
        {"10.0.0.1:2302", "10.0.0.1", "2302"},
        {" host.example : 2402 ", "host.example", "2402"},
        {"host", "host", ""},
        {"a:b:c", "a", "b:c"},
        {":2302", "", "2302"},
        {"", "", ""},
    };
    for (const auto &c : cases) {
        const auto split = splitServerAddress(c.address);
        EXPECT_EQ(split.host, c.host) << c.address;
        EXPECT_EQ(split.portText, c.port) << c.address;
    }
}

TEST(ServerAddress, PortTextMustBeAPort)
{
    EXPECT_EQ(parsePortText(""), 0);
    EXPECT_EQ(parsePortText("2302"), 2302);
    EXPECT_EQ(parsePortText("65535"), 65535);
    for (const char *bad : {"65536", "-1", "23a", "x", "99999999999"})
        EXPECT_FALSE(parsePortText(bad)) << bad;
}

TEST(ParameterSplit, TakesTheFirstModSwitchAndQuotesNames)
{
    const struct {
        const char *text;
        const char *startup;
        const char *mods;
    } cases[] = {
        {"-nomap -mod=abc;def -name=John", "-nomap \"-name=John\"", "abc;def"},
        {"-MOD=x -mod=y", "-mod=y", "x"},
        {"  -nosplash   -world=empty ", "-nosplash -world=empty", ""},
        {"\"-name=John Smith\" -NAME=x", "\"-name=John Smith\" \"-NAME=x\"", ""},
        {"", "", ""},
    };
    for (const auto &c : cases) {
        const auto split = splitParameters(std::string_view(c.text));
        EXPECT_EQ(split.startupParameters, c.startup) << c.text;
        EXPECT_EQ(split.manualMods, c.mods) << c.text;
    }
}

} // namespace
