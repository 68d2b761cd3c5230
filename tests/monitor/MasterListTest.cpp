#include "monitor/MasterList.h"
#include "monitor/MasterValidate.h"
#include "monitor/SurveyedServer.h"

#include <gtest/gtest.h>

using namespace garrison;
using namespace std::string_literals;

namespace {

constexpr std::uint32_t kOneTwoThreeFour = 0x04030201; // 1.2.3.4 in network order

// Answers worked out by the master peer's own implementation of the cipher.
TEST(MasterValidate, AnswersTheChallengeWithTheGamesKey)
{
    EXPECT_EQ(masterValidate("ABCDEF", "gamespy"), "U5sLZqnk");
    EXPECT_EQ(masterValidate("TXKOAT", "Zm4x2P"), "m31tQRQH");
    EXPECT_EQ(masterValidate("TXKOAT", ""), "") << "no key, no answer";
}

TEST(MasterList, ReadsBothFormsAndRefusesWhatIsNoList)
{
    std::vector<ListedServer> servers;
    const std::string compact = "\x01\x02\x03\x04\x08\xFF"s + "\x01\x02\x03\x04\x00\x00"s +
                                "\x01\x02\x03\x04\x08\xFF"s + "\x05\x06\x07\x08\x5C\x5C"s + "\\final\\";
    ASSERT_FALSE(parseMasterList(compact, servers));
    ASSERT_EQ(servers.size(), 2u) << "port 0 left out, the same server once";
    EXPECT_EQ(servers[0], (ListedServer{kOneTwoThreeFour, 0x08FF}));
    EXPECT_EQ(servers[0].gamePort(), 0x08FE);
    EXPECT_EQ(listedServerText(servers[1].address, servers[1].queryPort), "5.6.7.8:23644");

    ASSERT_FALSE(parseMasterList("\\ip\\1.2.3.4:2303\\ip\\9.9.9.9:2305\\final\\", servers));
    EXPECT_EQ(servers, (std::vector<ListedServer>{{kOneTwoThreeFour, 2303}, {0x09090909, 2305}}));
    ASSERT_FALSE(parseMasterList("\\final\\", servers));
    EXPECT_TRUE(servers.empty());

    const struct {
        std::string reply;
        const char *why;
    } bad[] = {
        {"", "without a list"},
        {"\x01\x02\x03\x04\x08"s, "ended early"},
        {"\x01\x02\x03\x04\x08\\final\\"s, "not whole servers"},
        {"\\ip\\1.2.3:2303\\final\\", "1.2.3:2303"},
        {"\\ip\\1.2.3.4:99999\\final\\", "1.2.3.4:99999"},
        {"\\ip\\1.2.3.4:2303\\hostname\\x\\final\\", "something other than servers"},
        {"\\error\\no such game\\final\\", "the master refused: no such game"},
    };
    for (const auto &c : bad) {
        const Failure failure = parseMasterList(c.reply, servers);
        ASSERT_TRUE(failure) << c.why;
        EXPECT_NE(failure.why().find(c.why), std::string::npos) << failure.why();
    }
}

TEST(MasterList, AListLongerThanAnyRealOneIsRefused)
{
    std::string reply;
    for (std::uint32_t i = 0; i <= kMaxListedServers; ++i) {
        reply += std::string(reinterpret_cast<const char *>(&i), 4);
        reply += "\x09\x00"s;
    }
    std::vector<ListedServer> servers;
    EXPECT_FALSE(parseMasterList(reply.substr(0, reply.size() - 6) + "\\final\\", servers));
    EXPECT_EQ(servers.size(), kMaxListedServers);
    const Failure failure = parseMasterList(reply + "\\final\\", servers);
    ASSERT_TRUE(failure);
    EXPECT_NE(failure.why().find("more than 65536"), std::string::npos) << failure.why();
}

TEST(SurveyedServer, TheStatusAnswerFillsARowAndAHostileNameIsCleaned)
{
    SurveyedServer row;
    row.takeStatusAnswer("\\gamename\\opflashr\\gamever\\1.99\\hostname\\Evil\r\n\x1b[31mClub\\mapname\\eden"
                         "\\gametype\\CTF\\numplayers\\2\\maxplayers\\34\\mod\\RES;@WW2\\password\\1\\gstate\\14"
                         "\\player_0\\Ann\\team_0\\\\score_0\\3\\deaths_0\\1\\player_1\\Bob\\team_1\\\\score_1\\0"
                         "\\deaths_1\\0\\final\\\\queryid\\7.2");
    EXPECT_TRUE(row.answered);
    EXPECT_EQ(row.name, "Evil[31mClub");
    EXPECT_EQ(row.gameName, "opflashr");
    EXPECT_EQ(row.map, "eden");
    EXPECT_EQ(row.mission, "CTF");
    EXPECT_EQ(row.version, "1.99");
    EXPECT_EQ(row.mods, "RES;@WW2");
    EXPECT_EQ(row.players, 2u);
    EXPECT_EQ(row.maxPlayers, 32u) << "as the main window counts";
    EXPECT_EQ(row.state, 14u);
    EXPECT_TRUE(row.password);
    EXPECT_EQ(row.playerNames, (std::vector<std::string>{"Ann", "Bob"}));
}

} // namespace
