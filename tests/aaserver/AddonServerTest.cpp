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
#include "support/ZipWriter.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <random>
#include <thread>

using namespace garrison;
using test::eventually;

namespace {

// A client's UDP socket on loopback.
class Client {
public:
    Client() : m_socket(socket(AF_INET, SOCK_DGRAM, 0))
    {
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(m_socket, reinterpret_cast<sockaddr *>(&local), sizeof local);
        const int buffer = 4 << 20;
        setsockopt(m_socket, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
    }
    ~Client() { close(m_socket); }
    Client(const Client &) = delete;
    Client &operator=(const Client &) = delete;

    void send(std::uint32_t address, std::uint16_t port, const std::vector<std::uint8_t> &bytes)
    {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = address;
        to.sin_port = htons(port);
        sendto(m_socket, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr *>(&to), sizeof to);
    }
    // The next datagram, or nothing after waitMs.
    std::optional<std::vector<std::uint8_t>> receive(int waitMs = 2000)
    {
        pollfd wait{m_socket, POLLIN, 0};
        if (poll(&wait, 1, waitMs) <= 0)
            return std::nullopt;
        std::vector<std::uint8_t> bytes(65536);
        const auto length = recv(m_socket, bytes.data(), bytes.size(), 0);
        if (length < 0)
            return std::nullopt;
        bytes.resize(static_cast<std::size_t>(length));
        return bytes;
    }

private:
    int m_socket;
};

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
    EXPECT_NE(logText().find("unknown datagram of 8000 bytes"), std::string::npos) << logText();
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
    for (int i = 0; i < kClients; ++i) {
        clients.emplace_back([&] {
            Client client;
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
