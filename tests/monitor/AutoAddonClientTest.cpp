#include "monitor/AutoAddonClient.h"
#include "autoaddon/AutoAddonPeer.h"
#include "common/ByteReader.h"
#include "common/LittleEndian.h"
#include "lang/LanguageLoader.h"
#include "monitor/AddonServerText.h"
#include "monitor/AutoAddonPackets.h"
#include "monitor/ListCache.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <future>
#include <string>
#include <vector>

using namespace garrison;

namespace {

constexpr std::uint32_t kServer = 0x0600007f;
constexpr std::uint16_t kAddonPort = 2322;

// Names what the client sent: "list PASSWORD PORT", "send-list PORT",
// "re-request N PORT".
class RecordingSender : public DatagramSender {
public:
    std::vector<std::string> sent;

    void send(std::uint32_t address, std::uint16_t port, std::span<const std::uint8_t> bytes) override
    {
        EXPECT_EQ(address, kServer);
        const ByteReader reader(bytes);
        EXPECT_EQ(reader.at<std::uint16_t>(0), kProtocolVersion);
        const auto code = reader.at<std::uint16_t>(2);
        std::string name = code == kListRequest       ? "list " + reader.textAt(4)
                           : code == kSendListRequest ? "send-list"
                                                      : "re-request " + std::to_string(reader.at<std::uint16_t>(4));
        if (code == kListRequest) {
            EXPECT_EQ(bytes.size(), reader.textAt(4).size() + 5);
        }
        sent.push_back(name + " " + std::to_string(port));
    }

    std::vector<std::string> take() { return std::exchange(sent, {}); }
};

std::vector<std::uint8_t> announcement(std::uint16_t count, std::uint64_t id, bool withElapsed = false)
{
    std::vector<std::uint8_t> bytes;
    appendLittleEndian(bytes, kListAnnouncement);
    appendLittleEndian(bytes, count);
    appendLittleEndian(bytes, id);
    if (withElapsed) {
        appendLittleEndian(bytes, std::uint32_t{754000});
        appendLittleEndian(bytes, std::uint16_t{13});
    }
    return bytes;
}

std::string listOf(std::size_t bytes)
{
    std::string list;
    for (std::size_t i = 0; list.size() < bytes; ++i)
        list += "package" + std::to_string(i * 7919 % 100003) + " http://example.org/p" + std::to_string(i) + ".zip\n";
    return list;
}

class AutoAddonClientTest : public ::testing::Test {
protected:
    AutoAddonClientTest() : peer(makeConfig()), client(sender, status, folder.path())
    {
        client.setTarget(kServer);
        client.restart();
        status.addonDatabaseReady = true;
        status.password = "pw";
    }

    peers::AutoAddonConfig makeConfig()
    {
        peers::AutoAddonConfig config;
        config.list = listOf(20000);
        config.chunkData = 1200;
        return config;
    }

    // The list request, the announcement, and the client's answer to it.
    void announce(std::uint32_t now = 1000)
    {
        client.requestList(2302);
        sender.take();
        client.onDatagram(announcement(static_cast<std::uint16_t>(peer.chunkCount()), peer.listId()), kAddonPort, now);
    }
    void deliver(std::size_t number, std::uint32_t now) { client.onDatagram(peer.chunk(number), kAddonPort, now); }
    std::string shown()
    {
        static const LanguageTable language = loadLanguageTable("/nonexistent/garrisonlanguage.ini");
        return addonServerText(status.snapshot(), true, language);
    }

    test::TempFolder folder;
    peers::AutoAddonPeer peer;
    RecordingSender sender;
    StatusStore status;
    AutoAddonClient client;
};

TEST_F(AutoAddonClientTest, ListRequestsThenNoServer)
{
    status.addonDatabaseReady = false;
    client.requestList(2302);
    EXPECT_TRUE(sender.take().empty()); // only once the database is ready
    status.addonDatabaseReady = true;

    client.checkProgress(0);
    client.requestList(2302);
    EXPECT_EQ(sender.take(), (std::vector<std::string>{"list pw 2322", "list pw 2342"}));
    client.checkProgress(2000);
    client.requestList(0);
    EXPECT_EQ(sender.take(),
              (std::vector<std::string>{"list pw 2322", "list pw 2342", "list pw 2254", "list pw 2274"}));
    EXPECT_EQ(shown(), "Querying");
    client.checkProgress(4000);
    client.requestList(2302);
    EXPECT_TRUE(sender.take().empty());
    EXPECT_EQ(shown(), "No");
}

TEST_F(AutoAddonClientTest, ChunksAssembleIntoTheList)
{
    ASSERT_GE(peer.chunkCount(), 3u);
    announce();
    EXPECT_EQ(sender.take(), std::vector<std::string>{"send-list 2322"});
    EXPECT_EQ(client.port(), kAddonPort);

    // In any order; a chunk whose number is out of range, a duplicate, a bad
    // CRC and a runt are ignored.
    for (std::size_t number = peer.chunkCount(); number-- > 1;)
        deliver(number, 1100);
    deliver(1, 1100);
    auto corrupt = peer.chunk(0);
    corrupt[3] ^= 1;
    client.onDatagram(corrupt, kAddonPort, 1100);
    client.onDatagram(std::vector<std::uint8_t>{0, 0, 1, 2, 3}, kAddonPort, 1100);
    auto beyond = peer.chunk(0);
    beyond[0] = static_cast<std::uint8_t>(peer.chunkCount());
    client.onDatagram(beyond, kAddonPort, 1100);
    EXPECT_EQ(status.snapshot().receivedChunks, static_cast<int>(peer.chunkCount()) - 1);
    EXPECT_FALSE(status.offeredList);

    deliver(0, 1200);
    const auto record = status.snapshot();
    EXPECT_EQ(record.receivedChunks, record.expectedChunks);
    EXPECT_EQ(shown(), "Yes");
    ASSERT_TRUE(status.offeredList);
    const std::string list(status.offeredList->begin(), status.offeredList->end());
    EXPECT_EQ(list, listOf(20000));
    EXPECT_TRUE(pathExists(folder / listCacheFileName(peer.listId())));
}

TEST_F(AutoAddonClientTest, CachedListNeedsNoTransfer)
{
    announce();
    for (std::size_t number = 0; number < peer.chunkCount(); ++number)
        deliver(number, 1100);
    ASSERT_TRUE(status.offeredList);

    StatusStore second;
    second.addonDatabaseReady = true;
    RecordingSender quiet;
    AutoAddonClient again(quiet, second, folder.path());
    again.setTarget(kServer);
    again.restart();
    again.onDatagram(announcement(static_cast<std::uint16_t>(peer.chunkCount()), peer.listId()), kAddonPort, 50);
    EXPECT_TRUE(quiet.sent.empty());
    ASSERT_TRUE(second.offeredList);
    EXPECT_EQ(*second.offeredList, *status.offeredList);
    EXPECT_EQ(second.record.receivedChunks, second.record.expectedChunks);
}

TEST_F(AutoAddonClientTest, DamagedOrForeignCacheIsFetchedAgain)
{
    const std::string cache = folder / listCacheFileName(peer.listId());
    const auto damage = [&](int how) {
        ListChunks chunks;
        chunks.reset(peer.chunkCount());
        for (std::size_t number = 0; number < peer.chunkCount(); ++number)
            chunks.store(peer.chunk(number));
        // how 3: planted by another server that announced the same list id.
        const ListSource source = how == 3   ? ListSource{0x0700007f, kAddonPort}
                                  : how == 4 ? ListSource{kServer, 2342}
                                             : ListSource{kServer, kAddonPort};
        ASSERT_TRUE(writeListCache(cache, chunks, source));
        auto bytes = folder.read(listCacheFileName(peer.listId()));
        if (how == 0)
            bytes.resize(bytes.size() - 10); // cut short
        else if (how == 1)
            bytes[12] ^= 0x40; // a chunk fails its CRC
        else if (how == 2)
            bytes[0] = static_cast<char>(bytes[0] + 1); // another chunk count
        else if (how == 5)
            bytes.resize(bytes.size() - 6); // says not where it came from
        folder.write(listCacheFileName(peer.listId()), bytes);
    };
    for (int how = 0; how < 6; ++how) {
        damage(how);
        client.restart();
        announce();
        EXPECT_EQ(sender.take(), std::vector<std::string>{"send-list 2322"}) << how;
        EXPECT_FALSE(pathExists(cache)) << how;
        EXPECT_FALSE(status.offeredList) << how;
        EXPECT_EQ(status.snapshot().receivedChunks, 0) << how;
    }
}

TEST_F(AutoAddonClientTest, LostChunksAreReRequestedTwiceThenTimeOut)
{
    announce(1000);
    sender.take();
    deliver(1, 1500);
    client.checkProgress(5500); // 4000 ms of silence is not yet more than 4000
    EXPECT_TRUE(sender.take().empty());
    client.checkProgress(5501);
    std::vector<std::string> wanted;
    for (std::size_t number = 0; number < peer.chunkCount(); ++number) {
        if (number != 1)
            wanted.push_back("re-request " + std::to_string(number) + " 2322");
    }
    EXPECT_EQ(sender.take(), wanted);
    deliver(0, 6000);
    client.checkProgress(10001);
    wanted.erase(wanted.begin());
    EXPECT_EQ(sender.take(), wanted);
    EXPECT_EQ(shown(), std::to_string(2 * 100 / peer.chunkCount()) + "%");
    client.checkProgress(16000);
    EXPECT_TRUE(sender.take().empty());
    EXPECT_EQ(shown(), "Timeout");
    // Late chunks do not bring it back.
    for (std::size_t number = 0; number < peer.chunkCount(); ++number)
        deliver(number, 16100);
    client.checkProgress(18000);
    EXPECT_EQ(shown(), "Timeout");
}

// Tells whether the status lock was held at any send, asking from another
// thread (a mutex may not be tried by the thread that holds it).
class LockProbe : public DatagramSender {
public:
    explicit LockProbe(StatusStore &status) : m_status(status) {}
    std::size_t sent = 0;
    bool lockHeld = false;

    void send(std::uint32_t, std::uint16_t, std::span<const std::uint8_t>) override
    {
        ++sent;
        lockHeld = lockHeld || std::async(std::launch::async, [this] {
                                   if (!m_status.lock.try_lock())
                                       return true;
                                   m_status.lock.unlock();
                                   return false;
                               }).get();
    }

private:
    StatusStore &m_status;
};

TEST_F(AutoAddonClientTest, AHugeSpoofedAnnouncementSendsFewReRequests)
{
    LockProbe probe(status);
    AutoAddonClient target(probe, status, folder.path());
    target.setTarget(kServer);
    target.restart();
    // Twelve bytes claiming 65,535 chunks, and not one chunk after them.
    target.onDatagram(announcement(65535, 0x1234), kAddonPort, 1000);
    probe.sent = 0;
    for (std::uint32_t now = 1000; now <= 60000; now += 100)
        target.checkProgress(now);
    EXPECT_GT(probe.sent, 0u);
    EXPECT_LE(probe.sent, 2u * AutoAddonClient::kMaxReRequestsPerRound);
    EXPECT_FALSE(probe.lockHeld);
    EXPECT_EQ(shown(), "Timeout");
}

TEST_F(AutoAddonClientTest, AnnouncementForms)
{
    client.requestList(2302);
    client.onDatagram(announcement(7, 0xABC, true), 2342, 5000);
    auto record = status.snapshot();
    EXPECT_TRUE(record.elapsedKnown);
    EXPECT_EQ(record.elapsedBase, 754000u);
    EXPECT_EQ(record.elapsedState, 13);
    EXPECT_EQ(record.elapsedStart, 5000u);
    EXPECT_EQ(record.expectedChunks, 7);

    // The other port answering as well changes nothing.
    client.onDatagram(announcement(3, 0xDEF), kAddonPort, 6000);
    EXPECT_EQ(client.port(), 2342);
    EXPECT_EQ(status.snapshot().expectedChunks, 7);

    client.restart();
    status.clear();
    client.onDatagram(announcement(7, 0xABC), 2342, 7000);
    EXPECT_FALSE(status.snapshot().elapsedKnown);

    // 3 of 7 chunks.
    status.record.receivedChunks = 3;
    EXPECT_EQ(shown(), "42%");
}

TEST_F(AutoAddonClientTest, PasswordRefused)
{
    client.requestList(2302);
    client.onDatagram(std::vector<std::uint8_t>{0x01, 0x80, 0x55, 0x66}, kAddonPort, 1000);
    EXPECT_EQ(shown(), "Psw fail");
    client.onDatagram(std::vector<std::uint8_t>{0x01, 0x80, 0x55}, kAddonPort, 1000); // wrong length: not a refusal
    client.checkProgress(9000);
    client.requestList(2302);
    EXPECT_EQ(sender.take(), (std::vector<std::string>{"list pw 2322", "list pw 2342"}));
    EXPECT_EQ(shown(), "Psw fail");
}

TEST_F(AutoAddonClientTest, HugeAnnouncedListIsRefused)
{
    // A list that claims more than the cap is never allocated.
    ListChunks chunks;
    chunks.reset(1);
    std::vector<std::uint8_t> chunk;
    appendLittleEndian(chunk, std::uint16_t{0});
    appendLittleEndian(chunk, std::uint32_t{0xFFFFFFF0});
    chunk.insert(chunk.end(), {0x78, 0x9C, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01});
    appendLittleEndian(chunk, static_cast<std::uint32_t>(crc32(0, chunk.data(), static_cast<uInt>(chunk.size()))));
    ASSERT_TRUE(chunks.store(chunk));
    EXPECT_FALSE(chunks.assemble());
}

TEST(ListCache, SweepDeletesOldHexCachesOnly)
{
    test::TempFolder folder;
    const FileTime now = *fileModificationTime(folder.write("probe", ""));
    const FileTime day = 864000000000ull;
    const struct {
        const char *name;
        FileTime age;
        bool kept;
    } cases[] = {
        {"5a17ff.tmp", 8 * day, false}, {"5A17FF.TMP", 8 * day, false}, {"5a17fe.tmp", 6 * day, true},
        {"notes.tmp", 8 * day, true},   {"5a17.txt", 8 * day, true},    {".tmp", 8 * day, true},
        {"5a17fd.tmp", 7 * day, true},
    };
    for (const auto &c : cases)
        setFileModificationTime(folder.write(c.name, "x"), now - c.age);
    sweepListCaches(folder.path(), now);
    for (const auto &c : cases)
        EXPECT_EQ(pathExists(folder / c.name), c.kept) << c.name;
}

} // namespace
