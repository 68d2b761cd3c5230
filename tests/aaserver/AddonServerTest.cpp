#include "aaserver/AddonServer.h"

#include "addondb/OfferedBlock.h"
#include "addondb/OfferedPackage.h"
#include "common/ByteReader.h"
#include "common/LittleEndian.h"
#include "gameserver/GameServerPeer.h"
#include "monitor/AutoAddonPackets.h"
#include "platform/HostLookup.h"
#include "support/Loopback.h"
#include "support/TempFolder.h"
#include "support/UdpClient.h"
#include "support/ZipWriter.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <map>
#include <random>
#include <thread>

using namespace garrison;
using test::eventually;

namespace {

using Client = test::UdpClient;

std::vector<std::uint8_t> request(std::uint16_t code, const std::vector<std::uint8_t> &rest = {})
{
    std::vector<std::uint8_t> bytes;
    appendLittleEndian(bytes, kProtocolVersion);
    appendLittleEndian(bytes, code);
    bytes.insert(bytes.end(), rest.begin(), rest.end());
    return bytes;
}

std::vector<std::uint8_t> listRequest(const std::string &password)
{
    std::vector<std::uint8_t> text(password.begin(), password.end());
    text.push_back(0);
    return request(kListRequest, text);
}

// The whole list as a client gets it: announcement, send-list, chunks with
// their CRC checked, re-requests for what went missing. Empty on failure.
std::vector<std::uint8_t> fetchList(Client &client, std::uint32_t address, std::uint16_t port,
                                    const std::string &password)
{
    client.send(address, port, listRequest(password));
    const auto announcement = client.receive();
    if (!announcement || announcement->size() < kShortAnnouncementLength)
        return {};
    const std::size_t count = ByteReader(*announcement).at<std::uint16_t>(2);
    std::map<std::size_t, std::vector<std::uint8_t>> chunks;
    client.send(address, port, request(kSendListRequest));
    for (int round = 0; round < 5 && chunks.size() < count; ++round) {
        while (chunks.size() < count) {
            const auto chunk = client.receive(round == 0 ? 2000 : 500);
            if (!chunk)
                break;
            const ByteReader reader(*chunk);
            const std::size_t payload = chunk->size() - 4;
            if (chunk->size() > kChunkOverhead &&
                crc32(crc32(0, nullptr, 0), chunk->data(), static_cast<uInt>(payload)) ==
                    reader.at<std::uint32_t>(payload))
                chunks.emplace(reader.at<std::uint16_t>(0),
                               std::vector<std::uint8_t>(chunk->begin() + 2, chunk->end() - 4));
        }
        for (std::size_t number = 0; number < count; ++number) {
            if (!chunks.count(number)) {
                std::vector<std::uint8_t> which;
                appendLittleEndian(which, static_cast<std::uint16_t>(number));
                client.send(address, port, request(kChunkReRequest, which));
            }
        }
    }
    if (chunks.size() != count)
        return {};
    std::vector<std::uint8_t> packed;
    for (const auto &[number, bytes] : chunks)
        packed.insert(packed.end(), bytes.begin(), bytes.end());
    uLongf size = ByteReader(packed).at<std::uint32_t>(0);
    std::vector<std::uint8_t> block(size);
    if (uncompress(block.data(), &size, packed.data() + 4, static_cast<uLong>(packed.size() - 4)) != Z_OK)
        return {};
    return block;
}

class AddonServerTest : public ::testing::Test {
protected:
    AddonServerTest()
    {
        std::filesystem::create_directories(temp / "zips");
        EXPECT_TRUE(test::writeZip(temp / "zips/tanks.zip", {{"tank.pbo", "tank"}}));
        config.game = dottedAddress(address) + ":2302";
        config.password = "pw";
        config.bind = dottedAddress(address);
        config.catalogue.zipsFolder = temp / "zips";
        config.catalogue.baseUrl = "http://127.0.0.1/zips/";
    }
    std::unique_ptr<AddonServer> serve()
    {
        auto server = std::make_unique<AddonServer>(config, [this](const std::string &line) {
            std::lock_guard guard(logLock);
            log += line + "\n";
        });
        EXPECT_TRUE(server->open());
        EXPECT_TRUE(server->start());
        // The list is made on a thread of its own; until then nothing is served.
        EXPECT_TRUE(eventually([&] { return server->listId() != 0; }, std::chrono::seconds(30)));
        return server;
    }
    std::string logText()
    {
        std::lock_guard guard(logLock);
        return log;
    }
    std::vector<std::string> packageNames(const std::vector<std::uint8_t> &block)
    {
        OfferedList list;
        EXPECT_TRUE(parseOfferedBlock(block, list));
        std::vector<std::string> names;
        for (const auto &package : list.packages)
            names.push_back(package.name);
        return names;
    }

    test::TempFolder temp;
    std::uint32_t address = test::uniqueLoopbackAddress();
    AaServerConfig config;
    std::mutex logLock;
    std::string log;
};

TEST_F(AddonServerTest, ServesItsListWithTheGameTimeAndTakesUpNewZips)
{
    peers::GameServerConfig game;
    game.address = address;
    peers::GameServerPeer gameServer(game);
    ASSERT_TRUE(gameServer.start());
    const auto server = serve();
    EXPECT_EQ(server->port(), 2322) << "the game port + 20";

    Client client;
    // A wrong password is refused: the empty one, a part of the right one, more than it, another case.
    for (const char *guess : {"guess", "", "p", "pwx", "PW"}) {
        client.send(address, 2322, listRequest(guess));
        const auto refusal = client.receive();
        ASSERT_TRUE(refusal) << guess;
        EXPECT_EQ(*refusal, (std::vector<std::uint8_t>{0x01, 0x80, 0, 0})) << "\"" << guess << "\"";
    }

    // Once it has polled its game server, the announcement carries the game's time and state.
    std::vector<std::uint8_t> announcement;
    ASSERT_TRUE(eventually(
        [&] {
            client.send(address, 2322, listRequest("pw"));
            announcement = client.receive().value_or(std::vector<std::uint8_t>{});
            return announcement.size() == kLongAnnouncementLength;
        },
        std::chrono::seconds(10)));
    EXPECT_EQ(ByteReader(announcement).at<std::uint16_t>(16), 14) << "the peer's game state";
    EXPECT_EQ(ByteReader(announcement).at<std::uint64_t>(4), server->listId());

    EXPECT_EQ(packageNames(fetchList(client, address, 2322, "pw")), std::vector<std::string>{"tanks"});

    // A zip copied in: a new list under a new id.
    const std::uint64_t before = server->listId();
    ASSERT_TRUE(test::writeZip(temp / "zips/maps.zip", {{"map.pbo", "map"}}));
    ASSERT_TRUE(eventually([&] { return server->listId() != before; }, std::chrono::seconds(10)));
    EXPECT_EQ(packageNames(fetchList(client, address, 2322, "pw")), (std::vector<std::string>{"maps", "tanks"}));
    // Broken zips are left out with a reason, the rest still served.
    temp.write("zips/broken.zip", "no zip");
    ASSERT_TRUE(eventually([&] { return logText().find("left out broken.zip") != std::string::npos; },
                           std::chrono::seconds(10)));
    EXPECT_EQ(packageNames(fetchList(client, address, 2322, "pw")), (std::vector<std::string>{"maps", "tanks"}));
    EXPECT_NE(logText().find(":"), std::string::npos);
    EXPECT_NE(logText().find("list request: wrong password"), std::string::npos);
}

TEST_F(AddonServerTest, GarbageOfAnySizeIsLoggedAndNeverStopsIt)
{
    const auto server = serve();
    Client client;
    std::mt19937 random(11);
    for (const std::size_t size : {0, 1, 3, 4, 5, 6, 7, 100, 1400, 8000, 60000}) {
        std::vector<std::uint8_t> garbage(size);
        for (auto &byte : garbage)
            byte = static_cast<std::uint8_t>(random());
        client.send(address, 2322, garbage);
    }
    // A re-request past the last chunk gets nothing, the one just past it
    // too; the next answer is for chunk 0, asked after them.
    client.send(address, 2322, listRequest("pw"));
    const auto announcement = client.receive();
    ASSERT_TRUE(announcement && announcement->size() >= kShortAnnouncementLength);
    const auto count = ByteReader(*announcement).at<std::uint16_t>(2);
    for (const std::uint16_t number : {count, std::uint16_t(count + 1), std::uint16_t{60000}, std::uint16_t{0}}) {
        std::vector<std::uint8_t> which;
        appendLittleEndian(which, number);
        client.send(address, 2322, request(kChunkReRequest, which));
    }
    const auto answer = client.receive();
    ASSERT_TRUE(answer && answer->size() > kChunkOverhead);
    EXPECT_EQ(ByteReader(*answer).at<std::uint16_t>(0), 0);
    EXPECT_EQ(packageNames(fetchList(client, address, 2322, "pw")), std::vector<std::string>{"tanks"});
    // Garbage is counted for the minute's summary, not logged a line each.
    EXPECT_EQ(logText().find("unknown"), std::string::npos) << logText();
}

std::vector<std::uint8_t> reRequest(std::uint16_t number)
{
    std::vector<std::uint8_t> which;
    appendLittleEndian(which, number);
    return request(kChunkReRequest, which);
}

std::size_t byteCount(const std::vector<std::vector<std::uint8_t>> &datagrams)
{
    std::size_t bytes = 0;
    for (const auto &datagram : datagrams)
        bytes += datagram.size();
    return bytes;
}

// A spoofer writes its victim's address as the source: here the victim's own
// socket sends what the spoofer would. It must get nothing larger than it sent.
TEST_F(AddonServerTest, NoListGoesToAnAddressThatDidNotAskWithThePassword)
{
    const auto server = serve();
    const std::uint32_t network = address & 0x00FFFFFF;
    Client victim(network | 20u << 24);
    Client marker(network | 21u << 24);
    // Answers leave in the order the requests came: once the marker has its
    // answer, everything the server sent the victim is waiting for it.
    const auto everythingSent = [&] {
        marker.send(address, 2322, listRequest("pw"));
        return marker.receive().has_value();
    };
    victim.send(address, 2322, request(kSendListRequest));
    victim.send(address, 2322, reRequest(0));
    ASSERT_TRUE(everythingSent());
    EXPECT_TRUE(victim.drain().empty());

    // A wrong password gets its 4-byte refusal, and the send-list after it nothing.
    victim.send(address, 2322, listRequest("guess"));
    victim.send(address, 2322, request(kSendListRequest));
    victim.send(address, 2322, reRequest(0));
    ASSERT_TRUE(everythingSent());
    EXPECT_EQ(victim.drain(), (std::vector<std::vector<std::uint8_t>>{{0x01, 0x80, 0, 0}}));

    // Another port of the same address did not pass the password either.
    Client other(network | 21u << 24);
    other.send(address, 2322, request(kSendListRequest));
    ASSERT_TRUE(everythingSent());
    EXPECT_TRUE(other.drain().empty());

    // The honest exchange: list request with the password, then the list.
    EXPECT_EQ(packageNames(fetchList(victim, address, 2322, "pw")), std::vector<std::string>{"tanks"});
}

// Garrison's own client, unchanged, passes: it always asks with the password first.
TEST_F(AddonServerTest, GarrisonsOwnClientStillGetsTheWholeList)
{
    const auto server = serve();
    StatusStore status;
    {
        std::lock_guard guard(status.lock);
        status.password = "pw";
        status.addonDatabaseReady = true;
    }
    MonitorEndpoint client(status, 200, temp.path() + "/");
    ASSERT_TRUE(client.create() && client.start());
    client.post(SetTarget{address, 2302});
    client.post(StartPolling{});
    ASSERT_TRUE(eventually([&] {
        std::lock_guard guard(status.lock);
        return status.offeredList.has_value();
    }));
    std::lock_guard guard(status.lock);
    EXPECT_EQ(packageNames(*status.offeredList), std::vector<std::string>{"tanks"});
    EXPECT_EQ(status.record.addonServerState, AddonServerState::Transferring);
}

TEST_F(AddonServerTest, AFloodIsHeldToTheBudgetOfTheAddressItGoesTo)
{
    std::mt19937 random(5);
    std::filesystem::create_directories(temp / "many");
    for (int i = 0; i < 300; ++i)
        ASSERT_TRUE(test::writeZip(temp / ("many/pack" + std::to_string(i) + ".zip"),
                                   {{"f" + std::to_string(random()) + ".pbo", std::to_string(i)}}));
    config.catalogue.zipsFolder = temp / "many";
    config.rateLimitKib = 16;
    const auto server = serve();
    const std::uint32_t network = address & 0x00FFFFFF;
    Client victim(network | 30u << 24);
    Client marker(network | 31u << 24);

    const auto started = std::chrono::steady_clock::now();
    victim.send(address, 2322, listRequest("pw"));
    ASSERT_TRUE(victim.receive());
    for (int i = 0; i < 100; ++i)
        victim.send(address, 2322, request(kSendListRequest));
    marker.send(address, 2322, listRequest("pw"));
    ASSERT_TRUE(marker.receive());
    const std::size_t received = byteCount(victim.drain());
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    // What the budget allows: 16 KiB, and what it refilled meanwhile.
    const auto allowed = static_cast<std::size_t>(16 * 1024 * (1 + seconds / 60)) + 1;
    EXPECT_LE(received + kLongAnnouncementLength, allowed) << seconds << " s";
    Client reference(network | 32u << 24);
    const auto list = fetchList(reference, address, 2322, "pw");
    ASSERT_EQ(packageNames(list).size(), 300u);
    EXPECT_GT(received, 16u * 1024 / 2) << "the whole lists that fit the budget went out";
    std::cout << "100 send-list requests (400 bytes): " << received << " bytes sent to their source\n";
}

TEST_F(AddonServerTest, AFolderSwappedInIsServedAndAMissingOneKeepsTheLastList)
{
    const auto server = serve();
    Client client;
    const std::uint64_t first = server->listId();
    std::filesystem::create_directories(temp / "zips.new");
    ASSERT_TRUE(test::writeZip(temp / "zips.new/maps.zip", {{"map.pbo", "map"}}));
    std::filesystem::rename(temp / "zips", temp / "zips.old");
    std::filesystem::rename(temp / "zips.new", temp / "zips");
    ASSERT_TRUE(eventually([&] { return server->listId() != first; }, std::chrono::seconds(10))) << logText();
    EXPECT_EQ(packageNames(fetchList(client, address, 2322, "pw")), std::vector<std::string>{"maps"});

    // Deleted: the last list is still served, and the folder made again is taken up.
    const std::uint64_t second = server->listId();
    std::filesystem::remove_all(temp / "zips");
    ASSERT_TRUE(
        eventually([&] { return logText().find("cannot be read: still serving the last list") != std::string::npos; },
                   std::chrono::seconds(10)))
        << logText();
    EXPECT_NE(logText().find("was moved or deleted"), std::string::npos) << logText();
    EXPECT_EQ(packageNames(fetchList(client, address, 2322, "pw")), std::vector<std::string>{"maps"});
    std::filesystem::create_directories(temp / "zips");
    ASSERT_TRUE(test::writeZip(temp / "zips/tanks.zip", {{"tank.pbo", "tank"}}));
    const std::string again = "watching the zips folder " + config.catalogue.zipsFolder + " again";
    ASSERT_TRUE(eventually([&] { return logText().find(again) != std::string::npos && server->listId() != second; },
                           std::chrono::seconds(10)))
        << logText();
    EXPECT_EQ(packageNames(fetchList(client, address, 2322, "pw")), std::vector<std::string>{"tanks"});
    EXPECT_EQ(server->listId(), first) << "the same zips make the same list";
}

TEST_F(AddonServerTest, TwoHundredClientsAtOnceAllGetTheWholeList)
{
    // Enough packages for a list of a few hundred chunks.
    std::mt19937 random(7);
    std::filesystem::create_directories(temp / "many");
    for (int i = 0; i < 3000; ++i)
        ASSERT_TRUE(test::writeZip(
            temp / ("many/pack" + std::to_string(i) + ".zip"),
            {{"file" + std::to_string(i) + "_" + std::to_string(random()) + ".pbo", std::to_string(i)}}));
    config.catalogue.zipsFolder = temp / "many";
    const auto server = serve();
    Client reference;
    const auto expected = fetchList(reference, address, 2322, "pw");
    ASSERT_EQ(packageNames(expected).size(), 3000u);

    constexpr int kClients = 200;
    std::vector<std::thread> clients;
    std::atomic<int> whole{0};
    const auto started = std::chrono::steady_clock::now();
    // Each from an address of its own, as players are: one address is held to its budget.
    const std::uint32_t network = address & 0x00FFFFFF;
    for (int i = 0; i < kClients; ++i) {
        clients.emplace_back([&, i] {
            Client client(network | static_cast<std::uint32_t>(10 + i) << 24);
            if (fetchList(client, address, 2322, "pw") == expected)
                ++whole;
        });
    }
    for (auto &client : clients)
        client.join();
    const auto took = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_EQ(whole, kClients);
    std::cout << kClients << " clients served a list of " << expected.size() << " bytes in " << took << " s\n";
}

} // namespace
