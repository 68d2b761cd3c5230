#include "monitor/InfoAnswer.h"
#include "monitor/DatagramKind.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace garrison;

namespace {

constexpr std::uint32_t kServer = 0x0500007f;
constexpr std::uint32_t kOther = 0x0600007f;

std::vector<std::uint8_t> socketsAnswer(std::size_t length, const char *markAt352 = "RES")
{
    std::vector<std::uint8_t> out(std::max<std::size_t>(length, 434), 0);
    out[0] = static_cast<std::uint8_t>(length);
    out[1] = static_cast<std::uint8_t>(length >> 8);
    std::strcpy(reinterpret_cast<char *>(&out[28]), "My server");
    out[284] = 199;
    out[288] = 196;
    std::strcpy(reinterpret_cast<char *>(&out[292]), "CTF Eden");
    out[332] = 14;
    out[340] = 0x03; // only bit 0 counts
    out[344] = 7;
    std::memcpy(&out[352], markAt352, std::strlen(markAt352));
    out.resize(length);
    return out;
}

std::vector<std::uint8_t> directPlayAnswer(std::uint32_t players, const std::u16string &name)
{
    std::vector<std::uint8_t> out(144 + 2 * (name.size() + 1), 0);
    out[1] = 0x03;
    out[2] = 0xC4;
    out[3] = 0xE2;
    out[16] = 0x80;
    std::memcpy(&out[24], &players, 4);
    out[92] = 175;
    out[96] = 150;
    std::strcpy(reinterpret_cast<char *>(&out[100]), "Coop");
    out[140] = 9;
    for (std::size_t i = 0; i < name.size(); ++i) {
        out[144 + 2 * i] = static_cast<std::uint8_t>(name[i]);
        out[145 + 2 * i] = static_cast<std::uint8_t>(name[i] >> 8);
    }
    return out;
}

TEST(DatagramKind, ClassifiesInTheDocumentedOrder)
{
    const auto sockets = socketsAnswer(434);
    const auto play = directPlayAnswer(3, u"x");
    const std::vector<std::uint8_t> gamespy{'\\', 'a', '\\'};
    const std::vector<std::uint8_t> other{0x12, 0x34, 0x56};
    const std::vector<std::uint8_t> empty;
    const std::vector<std::uint8_t> lengthOne{1};
    const struct {
        const std::vector<std::uint8_t> &datagram;
        std::uint32_t from;
        std::uint16_t port;
        std::uint16_t autoAddonPort;
        DatagramKind kind;
    } cases[] = {
        {sockets, kOther, 48124, 0, DatagramKind::CentralServer}, // the central server, from any address
        {sockets, kServer, 48124, 0, DatagramKind::CentralServer},
        {sockets, kOther, 2302, 0, DatagramKind::Foreign},
        {sockets, kServer, 2302, 0, DatagramKind::SocketsInfo},
        {sockets, kServer, 2322, 2322, DatagramKind::AutoAddon}, // from the Auto-Addon port nothing else counts
        {play, kServer, 2302, 0, DatagramKind::DirectPlayInfo},
        {play, kServer, 2342, 2342, DatagramKind::AutoAddon},
        {gamespy, kServer, 2303, 0, DatagramKind::GameSpyFragment},
        {gamespy, kServer, 2303, 2303, DatagramKind::AutoAddon},
        {other, kServer, 2322, 0, DatagramKind::AutoAddon},
        {empty, kServer, 2302, 0, DatagramKind::AutoAddon}, // no length word, no answer
        {lengthOne, kServer, 2302, 0, DatagramKind::AutoAddon},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(classifyDatagram(c.datagram, c.from, c.port, kServer, c.autoAddonPort), c.kind)
            << "size " << c.datagram.size() << " port " << c.port;
    }
}

TEST(InfoAnswer, SocketsLayoutByLength)
{
    const struct {
        std::size_t length;
        const char *mark;
        bool players;
        std::optional<Implementation> implementation;
    } cases[] = {
        {434, "RES", true, Implementation::Sockets},
        {434, "VBS", true, Implementation::Vbs1},
        {353, "VBS", true, Implementation::Sockets}, // "BS" missing: read as zeros
        {352, "VBS", true, std::nullopt},            // exactly 352: implementation not fixed
        {345, "VBS", true, std::nullopt},
        {344, "VBS", false, std::nullopt}, // exactly 344: players not read
    };
    for (const auto &c : cases) {
        const auto answer = parseSocketsInfoAnswer(socketsAnswer(c.length, c.mark));
        EXPECT_EQ(answer.description, "My server");
        EXPECT_EQ(answer.mission, "CTF Eden");
        EXPECT_EQ(answer.version, 199u);
        EXPECT_EQ(answer.requiredVersion, 196u);
        EXPECT_EQ(answer.gameState, 14u);
        EXPECT_TRUE(answer.passwordRequired);
        EXPECT_EQ(answer.players.has_value(), c.players) << c.length;
        if (c.players) {
            EXPECT_EQ(*answer.players, 7u) << c.length;
        }
        EXPECT_EQ(answer.implementation, c.implementation) << c.length;
    }
}

TEST(InfoAnswer, ShortAndUnterminatedSocketsAnswersReadAsZeros)
{
    std::vector<std::uint8_t> shortAnswer(40, 'A');
    const auto answer = parseSocketsInfoAnswer(shortAnswer);
    EXPECT_EQ(answer.description, std::string(12, 'A')); // text runs to the datagram's end
    EXPECT_EQ(answer.version, 0u);
    EXPECT_EQ(answer.mission, "");
    EXPECT_FALSE(answer.passwordRequired);
    EXPECT_FALSE(answer.players);
}

TEST(InfoAnswer, DirectPlayPlayersWithoutTheTwoExtraAndAWideName)
{
    const struct {
        std::uint32_t field;
        std::uint32_t players;
    } cases[] = {{0, 0}, {1, 0}, {2, 0}, {5, 3}, {0xffffffff, 0xfffffffd}};
    for (const auto &c : cases)
        EXPECT_EQ(parseDirectPlayInfoAnswer(directPlayAnswer(c.field, u"S")).players, c.players) << c.field;

    const auto answer = parseDirectPlayInfoAnswer(directPlayAnswer(4, u"M\u00fcller \u20ac \u4e2d"));
    EXPECT_EQ(answer.description, "M\xfcller \x80 ?"); // Windows-1252, unmappable as "?"
    EXPECT_EQ(answer.mission, "Coop");
    EXPECT_EQ(answer.version, 175u);
    EXPECT_EQ(answer.requiredVersion, 150u);
    EXPECT_EQ(answer.gameState, 9u);
    EXPECT_TRUE(answer.passwordRequired);
    EXPECT_EQ(answer.implementation, Implementation::DirectPlay);
}

TEST(InfoAnswer, DirectPlayNameIsCutAt255BytesAndShortAnswersAreSafe)
{
    const auto answer = parseDirectPlayInfoAnswer(directPlayAnswer(3, std::u16string(400, u'n')));
    EXPECT_EQ(answer.description.size(), 255u);
    std::vector<std::uint8_t> cut = directPlayAnswer(3, u"abc");
    cut.resize(147); // half of the second unit is missing
    EXPECT_EQ(parseDirectPlayInfoAnswer(cut).description, "a");
    const std::vector<std::uint8_t> tiny{0, 3, 0xC4, 0xE2};
    EXPECT_EQ(parseDirectPlayInfoAnswer(tiny).players, 0u);
}

} // namespace
