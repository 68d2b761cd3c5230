#include "monitor/GameSpyAnswer.h"
#include "monitor/GameSpyFragments.h"

#include <gtest/gtest.h>

using namespace garrison;

namespace {

TEST(GameSpyFragments, JoinsFragmentsInNumberOrderWhateverTheArrival)
{
    GameSpyFragments fragments;
    EXPECT_FALSE(fragments.add("\\mapname\\eden\\final\\\\queryid\\7.2"));
    const auto answer = fragments.add("\\gamename\\opflashr\\queryid\\7.1");
    ASSERT_TRUE(answer);
    EXPECT_EQ(*answer, "\\gamename\\opflashr\\queryid\\7.1\\mapname\\eden\\final\\\\queryid\\7.2");
    // Complete answers empty the table: a repeat of the last fragment alone is not enough.
    EXPECT_FALSE(fragments.add("\\mapname\\eden\\final\\\\queryid\\7.2"));
}

TEST(GameSpyFragments, ANewQueryIdDiscardsTheOldFragments)
{
    GameSpyFragments fragments;
    EXPECT_FALSE(fragments.add("\\gamename\\opflash\\queryid\\1.1"));
    EXPECT_FALSE(fragments.add("\\final\\\\queryid\\2.2")); // id 1 forgotten
    const auto answer = fragments.add("\\gamename\\x\\queryid\\2.1");
    ASSERT_TRUE(answer);
    EXPECT_EQ(*answer, "\\gamename\\x\\queryid\\2.1\\final\\\\queryid\\2.2");
}

TEST(GameSpyFragments, AMissingMiddleFragmentCountsAsEmptyUntilItArrives)
{
    GameSpyFragments fragments;
    EXPECT_FALSE(fragments.add("\\gamename\\g\\queryid\\8.1"));
    const auto partial = fragments.add("\\platform\\linux\\final\\\\queryid\\8.3");
    ASSERT_TRUE(partial);
    EXPECT_EQ(*partial, "\\gamename\\g\\queryid\\8.1\\platform\\linux\\final\\\\queryid\\8.3");
    // Late, it still completes the answer.
    const auto answer = fragments.add("\\mapname\\eden\\queryid\\8.2");
    ASSERT_TRUE(answer);
    EXPECT_EQ(*answer, "\\gamename\\g\\queryid\\8.1\\mapname\\eden\\queryid\\8.2"
                       "\\platform\\linux\\final\\\\queryid\\8.3");
    // Complete without a gap, the table starts over.
    EXPECT_FALSE(fragments.add("\\mapname\\eden\\queryid\\8.2"));
}

TEST(GameSpyFragments, LostFirstFragmentIsNeverParsed)
{
    GameSpyFragments fragments;
    EXPECT_FALSE(fragments.add("\\mapname\\eden\\queryid\\3.2"));
    EXPECT_FALSE(fragments.add("\\final\\\\queryid\\3.3"));
    EXPECT_FALSE(fragments.add("\\final\\\\queryid\\3.3"));
}

TEST(GameSpyFragments, DropsDatagramsWithoutAProperQueryId)
{
    const char *bad[] = {
        "",
        "\\gamename\\x\\final\\\\",            // no queryid pair at the end
        "queryid\\1.1",                        // backslash at index 7 but nothing before the key
        "\\gamename\\x\\final\\\\queryid\\11", // no dot
        "\\gamename\\x\\final\\\\queryID\\1.1",
        "\\gamename\\x\\final\\\\queryid\\1.99999999999999999999", // number far beyond any answer
    };
    for (const char *datagram : bad) {
        GameSpyFragments fragments;
        EXPECT_FALSE(fragments.add(datagram)) << datagram;
    }
    GameSpyFragments fragments;
    EXPECT_TRUE(fragments.add("\\gamename\\x\\final\\\\queryid\\1.1"));
    // A text ends at its first NUL, so what follows cannot make it an answer.
    const std::string withNul("\\gamename\\x\0\\final\\\\queryid\\1.1", 32);
    EXPECT_FALSE(fragments.add(withNul));
}

TEST(GameSpyAnswer, ReadsKnownKeysWithTheirCaseRules)
{
    ServerStatus record;
    applyGameSpyAnswer("\\gamename\\opflashr\\MAPNAME\\abel\\mapname\\eden\\Mod\\X\\mod\\RES;@WW2\\EQUALMODREQUIRED\\1"
                       "\\timeleft\\15\\param1\\a\\param2\\b\\platform\\linux\\maxplayers\\34\\final\\\\queryid\\1.1",
                       record);
    EXPECT_EQ(record.gameName, "opflashr");
    EXPECT_EQ(record.map, "eden"); // "MAPNAME" is another key
    EXPECT_EQ(record.mod, "RES;@WW2");
    EXPECT_EQ(record.equalModRequired, 1); // matches in any case
    EXPECT_EQ(record.timeLeft, "15");
    EXPECT_EQ(record.param1, "a");
    EXPECT_EQ(record.param2, "b");
    EXPECT_EQ(record.platform, "linux");
    EXPECT_EQ(record.maxPlayers, "32");
}

TEST(GameSpyAnswer, MaxPlayersAndEqualModValues)
{
    const struct {
        const char *value;
        const char *maxPlayers;
        int equalMod;
    } cases[] = {{"34", "32", 34}, {"1", "0", 1}, {"0", "0", 0}, {"", "0", 0}, {"12abc", "10", 12}, {"x", "0", 0}};
    for (const auto &c : cases) {
        ServerStatus record;
        applyGameSpyAnswer(std::string("\\gamename\\g\\maxplayers\\") + c.value + "\\equalModRequired\\" + c.value +
                               "\\final\\\\",
                           record);
        EXPECT_EQ(record.maxPlayers, c.maxPlayers) << c.value;
        EXPECT_EQ(record.equalModRequired, c.equalMod) << c.value;
    }
}

TEST(GameSpyAnswer, PlayersTakeTheNextThreePairsByPosition)
{
    ServerStatus record;
    record.playerList.push_back({"old", "0", "0"});
    applyGameSpyAnswer("\\gamename\\g\\player_0\\Alice\\team_0\\\\score_0\\5\\deaths_0\\1"
                       "\\player_1\\Bob\\x\\y\\whatever\\7\\z\\2\\final\\\\queryid\\1.1",
                       record);
    ASSERT_EQ(record.playerList.size(), 2u);
    EXPECT_EQ(record.playerList[0], (PlayerEntry{"Alice", "5", "1"}));
    EXPECT_EQ(record.playerList[1], (PlayerEntry{"Bob", "7", "2"}));
}

TEST(GameSpyAnswer, APlayerCutShortIsDroppedAndReadingStops)
{
    ServerStatus record;
    applyGameSpyAnswer("\\gamename\\g\\player_0\\Alice\\team_0\\\\score_0\\5\\deaths_0\\1"
                       "\\player_1\\Bob\\team_1\\\\score_1\\3\\deaths_1",
                       record);
    ASSERT_EQ(record.playerList.size(), 1u);
    EXPECT_EQ(record.playerList[0].name, "Alice");
}

TEST(GameSpyAnswer, StopsAtFinalOrAtAnUnclosedTokenAndCutsLongTexts)
{
    ServerStatus record;
    applyGameSpyAnswer("\\gamename\\g\\final\\\\mapname\\eden\\", record);
    EXPECT_EQ(record.map, "");
    applyGameSpyAnswer("\\gamename\\g\\mapname\\eden", record);
    EXPECT_EQ(record.map, "");
    const std::string longValue(1000, 'm');
    applyGameSpyAnswer("\\gamename\\g\\mod\\" + longValue + "\\final\\\\", record);
    EXPECT_EQ(record.mod, std::string(255, 'm'));
    const std::string longName(300, 'n');
    applyGameSpyAnswer("\\gamename\\g\\player_0\\" + longName + "\\team_0\\\\score_0\\1\\deaths_0\\2\\final\\\\",
                       record);
    ASSERT_EQ(record.playerList.size(), 1u);
    EXPECT_EQ(record.playerList[0].name, std::string(255, 'n'));
}

} // namespace
