#include "monitor/StatusPoller.h"
#include "monitor/QueryPackets.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace garrison;

namespace {

constexpr std::uint32_t kServer = 0x0500007f;

// Names what was sent, as "<query> <port>".
class RecordingSender : public DatagramSender {
public:
    std::vector<std::string> sent;

    void send(std::uint32_t address, std::uint16_t port, std::span<const std::uint8_t> bytes) override
    {
        EXPECT_EQ(address, kServer);
        sent.push_back(name(bytes) + " " + std::to_string(port));
    }

    std::vector<std::string> take() { return std::exchange(sent, {}); }

private:
    static std::string name(std::span<const std::uint8_t> bytes)
    {
        const auto is = [&](auto &query) {
            return std::equal(bytes.begin(), bytes.end(), query.begin(), query.end());
        };
        if (is(kSocketsInfoQuery))
            return "sockets";
        if (is(kVbs1InfoQuery))
            return "vbs";
        if (is(kDirectPlayEnumQuery))
            return "dplay";
        if (is(kGameSpyStatusQuery))
            return "status";
        return "unknown";
    }
};

std::vector<std::uint8_t> socketsAnswer(std::size_t length, bool vbs)
{
    std::vector<std::uint8_t> out(length, 0);
    out[0] = static_cast<std::uint8_t>(length);
    out[1] = static_cast<std::uint8_t>(length >> 8);
    out[332] = 14;
    if (length > 352 && vbs)
        std::memcpy(&out[352], "VBS", std::min<std::size_t>(3, length - 352));
    return out;
}

std::vector<std::uint8_t> directPlayAnswer()
{
    std::vector<std::uint8_t> out(146, 0);
    out[2] = 0xC4;
    out[3] = 0xE2;
    out[24] = 6;
    return out;
}

std::span<const std::uint8_t> text(const std::string &s)
{
    return {reinterpret_cast<const std::uint8_t *>(s.data()), s.size()};
}

using Sends = std::vector<std::string>;

struct PollerTest : testing::Test {
    RecordingSender sender;
    StatusStore status;
    StatusPoller poller{sender, status};
    std::uint32_t now = 50000;

    void startAt(std::uint16_t port)
    {
        poller.setTarget(kServer, port);
        poller.startPolling(now);
    }
    // One idle tick; true when it sent a poll.
    bool tick(std::uint32_t elapsed)
    {
        now += elapsed;
        if (!poller.pollDue(now))
            return false;
        poller.sendPoll(now);
        return true;
    }
};

TEST_F(PollerTest, WithoutAPortTheFirstPollProbesTheDefaultPorts)
{
    startAt(0);
    ASSERT_TRUE(tick(0)); // due at once after start
    EXPECT_EQ(sender.take(), (Sends{"sockets 2302", "sockets 2234", "vbs 2302", "dplay 2302", "dplay 2234",
                                    "status 2303", "status 2304", "status 2235", "status 2236"}));
}

TEST_F(PollerTest, PollsEveryTwoSecondsByUnsignedDifference)
{
    now = 0xFFFFFF00; // the tick wraps during this test
    startAt(2302);
    EXPECT_TRUE(tick(0));
    EXPECT_FALSE(tick(1999));
    EXPECT_TRUE(tick(1));
    EXPECT_FALSE(tick(100));
    poller.stopPolling();
    EXPECT_FALSE(tick(5000));
}

TEST_F(PollerTest, TheFirstInfoAnswerFixesTheGamePortAndTheProbes)
{
    startAt(0);
    tick(0);
    poller.onSocketsInfo(socketsAnswer(434, false), 2234, now + 20);
    sender.take();
    const auto record = status.snapshot();
    EXPECT_EQ(record.port, 2234u);
    EXPECT_EQ(record.implementation, Implementation::Sockets);
    EXPECT_EQ(record.ping, 20u);
    EXPECT_EQ(record.infoAnswers, 1u);
    // Polls 1 to 3 ask only for the info; poll 4 adds the status query on both candidate ports.
    for (int poll = 1; poll <= 3; ++poll) {
        ASSERT_TRUE(tick(2000));
        EXPECT_EQ(sender.take(), Sends{"sockets 2234"});
    }
    ASSERT_TRUE(tick(2000));
    EXPECT_EQ(sender.take(), (Sends{"sockets 2234", "status 2235", "status 2236"}));
    // Once a complete status answer named its port, only that port is asked.
    poller.onGameSpyFragment(text("\\gamename\\x\\final\\\\queryid\\1.1"), 2236);
    for (int poll = 5; poll <= 8; ++poll)
        tick(2000);
    EXPECT_EQ(sender.take(), (Sends{"sockets 2234", "sockets 2234", "sockets 2234", "sockets 2234", "status 2236"}));
}

TEST_F(PollerTest, EachImplementationGetsOnlyItsOwnInfoQuery)
{
    struct Case {
        std::vector<std::uint8_t> answer;
        bool directPlay;
        Implementation implementation;
        Sends fourthPoll;
    };
    const Case cases[] = {
        {socketsAnswer(434, false), false, Implementation::Sockets, {"sockets 2302", "status 2303", "status 2304"}},
        {socketsAnswer(434, true), false, Implementation::Vbs1, {"vbs 2302"}}, // VBS1 is never asked for status
        {directPlayAnswer(), true, Implementation::DirectPlay, {"dplay 2302", "status 2303", "status 2304"}},
    };
    for (const auto &c : cases) {
        startAt(2302);
        tick(0);
        EXPECT_EQ(sender.take(), (Sends{"sockets 2302", "dplay 2302", "vbs 2302", "status 2303", "status 2304"}));
        if (c.directPlay)
            poller.onDirectPlayInfo(c.answer, 2302, now);
        else
            poller.onSocketsInfo(c.answer, 2302, now);
        EXPECT_EQ(poller.implementation(), c.implementation);
        EXPECT_EQ(status.snapshot().implementation, c.implementation);
        tick(2000);
        tick(2000);
        tick(2000);
        sender.take();
        tick(2000);
        EXPECT_EQ(sender.take(), c.fourthPoll);
    }
}

TEST_F(PollerTest, ShortSocketsAnswersLeaveFieldsAsTheyWere)
{
    startAt(2302);
    tick(0);
    {
        std::lock_guard guard(status.lock);
        status.record.players = 9;
    }
    poller.onSocketsInfo(socketsAnswer(344, false), 2302, now);
    EXPECT_EQ(status.snapshot().players, 9u); // 344 bytes: no player count
    poller.onSocketsInfo(socketsAnswer(352, true), 2302, now);
    EXPECT_EQ(status.snapshot().implementation, Implementation::Unknown); // 352 bytes: not fixed
    sender.take();
    tick(2000);
    EXPECT_EQ(sender.take().size(), 5u) << "all probes again";
}

TEST_F(PollerTest, AVbs1ServerStaysOneWhateverASocketsAnswerSays)
{
    startAt(2302);
    tick(0);
    poller.onSocketsInfo(socketsAnswer(434, true), 2302, now);
    poller.onSocketsInfo(socketsAnswer(434, false), 2302, now);
    EXPECT_EQ(status.snapshot().implementation, Implementation::Vbs1);
    EXPECT_EQ(poller.implementation(), Implementation::Vbs1);
}

TEST_F(PollerTest, PingIsMeasuredOncePerPollAgainstTheFirstAnswer)
{
    startAt(2302);
    tick(0);
    const std::uint32_t polled = now;
    poller.onSocketsInfo(socketsAnswer(434, false), 2302, polled + 30);
    poller.onSocketsInfo(socketsAnswer(434, false), 2302, polled + 400);
    EXPECT_EQ(status.snapshot().ping, 30u);
    tick(2000);
    poller.onSocketsInfo(socketsAnswer(434, false), 2302, now + 7);
    EXPECT_EQ(status.snapshot().ping, 7u);

    // Across the tick's wrap, and from a poll at the tick 0 itself.
    for (const auto &[pollTick, ping] : {std::pair{0u, 40u}, std::pair{0xFFFFFFF0u, 25u}}) {
        now = pollTick - 2000;
        tick(2000);
        poller.onSocketsInfo(socketsAnswer(434, false), 2302, pollTick + ping);
        EXPECT_EQ(status.snapshot().ping, ping) << pollTick;
    }
}

TEST_F(PollerTest, GivenPortsWrapAtSixteenBits)
{
    startAt(65535);
    tick(0);
    EXPECT_EQ(sender.take(), (Sends{"sockets 65535", "dplay 65535", "vbs 65535", "status 0", "status 1"}));
}

TEST_F(PollerTest, StartPollingForgetsTheImplementationButNotTheTarget)
{
    startAt(2302);
    tick(0);
    poller.onDirectPlayInfo(directPlayAnswer(), 2302, now);
    EXPECT_EQ(status.snapshot().players, 4u);
    poller.startPolling(now);
    sender.take();
    tick(0);
    EXPECT_EQ(sender.take().size(), 5u);
    EXPECT_EQ(poller.gamePort(), 2302);
}

TEST_F(PollerTest, CompleteStatusAnswerReplacesThePlayerList)
{
    startAt(2302);
    poller.onGameSpyFragment(text("\\player_0\\Bob\\team_0\\\\score_0\\1\\deaths_0\\0\\final\\\\queryid\\4.2"), 2303);
    EXPECT_EQ(status.snapshot().statusAnswers, 0u);
    poller.onGameSpyFragment(text("\\gamename\\opflash\\queryid\\4.1"), 2303);
    auto record = status.snapshot();
    EXPECT_EQ(record.statusAnswers, 1u);
    ASSERT_EQ(record.playerList.size(), 1u);
    EXPECT_EQ(record.playerList[0].name, "Bob");
    EXPECT_EQ(poller.statusPort(), 2303);
    poller.onGameSpyFragment(text("\\gamename\\opflash\\final\\\\queryid\\5.1"), 2304);
    record = status.snapshot();
    EXPECT_TRUE(record.playerList.empty());
    EXPECT_EQ(poller.statusPort(), 2303); // the first answer's port stays
}

} // namespace
