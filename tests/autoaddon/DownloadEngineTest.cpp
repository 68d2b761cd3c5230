#include "autoaddon/DownloadEngine.h"

#include "addondb/ScannerFixture.h"
#include "autoaddon/DownloadTemporary.h"
#include "autoaddon/OfferedModel.h"
#include "autoaddon/TransferRateMeter.h"
#include "peers/HttpPeer.h"
#include "platform/FileSystem.h"
#include "support/Loopback.h"
#include "support/ZipWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <thread>

using namespace garrison;
using namespace std::chrono_literals;

namespace {

constexpr FileTime kSecond = 10'000'000;

TEST(TransferRateMeter, RateEstimatesAndTexts)
{
    TransferRateMeter meter(10);
    meter.reset(20480);
    EXPECT_EQ(meter.speedText(), "0.00");
    EXPECT_FALSE(meter.secondsLeft());
    meter.sample(0, 100 * kSecond);
    EXPECT_EQ(meter.speedText(), "0.00"); // one sample
    meter.sample(2048, 101 * kSecond);
    EXPECT_EQ(meter.speedText(), "2.00");
    EXPECT_EQ(meter.secondsLeft(), 9u);
    meter.sample(4096, 102 * kSecond);
    EXPECT_EQ(meter.secondsLeft(), 8u);
    EXPECT_EQ(meter.elapsedSeconds(), 2u);
    // Old samples leave the window: the rate follows the recent ones.
    meter.sample(4096 + 10 * 512, 112 * kSecond);
    EXPECT_EQ(meter.speedText(), "0.50");

    TransferRateMeter slow(20);
    slow.reset(1'000'000'000);
    slow.sample(0, 0);
    slow.sample(1, kSecond);
    EXPECT_FALSE(slow.secondsLeft()); // 100 hours or more: no estimate
    EXPECT_EQ(clockText(3723), "01:02:03");
    EXPECT_EQ(clockText(0), "00:00:00");
}

TEST(DownloadEngine, TemporaryNames)
{
    const struct {
        const char *url;
        const char *name;
    } cases[] = {
        {"http://x/files/pack.zip", "pack.tmp"},       {"http://x/files/pack.v2.zip", "pack.v2.tmp"},
        {"http://x/files/NOTES", "NOTES.tmp"},         {"c:\\dl\\pack.zip", "pack.tmp"},
        {"http://x/files/", "download-3.tmp"},         {"http://x/..", "download-3.tmp"},
        {"http://x/get?file=a.zip", "download-3.tmp"}, {"http://x/.zip", "download-3.tmp"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(temporaryName(c.url, 3), c.name) << c.url;
}

class DownloadEngineTest : public ::testing::Test, public test::ScannerFixture {
protected:
    DownloadEngineTest()
    {
        file("OperationFlashpoint.exe", "exe");
        scan();
    }
    // An offered package whose zip holds one add-on, served at path.
    void offer(const std::string &name, const std::string &path, bool serve = true)
    {
        const std::string zip = test::zipBytes({{name + ".pbo", "add-on " + name}});
        if (serve)
            http.route(path, {200, zip, {}, std::string::npos, {}});
        OfferedPackage package;
        package.name = name;
        package.url = http.url(path);
        package.zipSize = static_cast<std::uint32_t>(zip.size());
        package.flagged = true;
        database.offered().packages.push_back(std::move(package));
    }
    std::vector<std::string> run(DownloadEngine &engine)
    {
        engine.start();
        engine.wait();
        std::vector<std::string> outcomes;
        for (const auto &outcome : engine.outcomes())
            outcomes.push_back(outcome.package + (outcome.installed ? " installed" : ": " + outcome.problem));
        return outcomes;
    }

    test::TempFolder work;
    peers::HttpPeer http;
};

TEST_F(DownloadEngineTest, OnePackage)
{
    offer("one", "/files/one.zip");
    DownloadEngine engine(database, language(), work.path());
    EXPECT_EQ(run(engine), std::vector<std::string>{"one installed"});
    EXPECT_EQ(game.read("addons/one.pbo"), "add-on one");
    EXPECT_FALSE(database.offered().packages[0].flagged);
    EXPECT_FALSE(pathExists(work / "one.tmp"));
    const auto display = engine.display(currentFileTime());
    EXPECT_EQ(display.total.position, display.total.range);
    EXPECT_EQ(display.percent, "100%");
    EXPECT_EQ(display.speed.substr(display.speed.size() - 7), " kb/sec");
}

// The window's timer reads the flags all through a download (ThreadSanitizer
// watches this); they change only when the owner waits for the end.
TEST_F(DownloadEngineTest, TheFlagsChangeOnlyOnTheOwnersThread)
{
    offer("first", "/first.zip");
    offer("second", "/second.zip", false);
    DownloadEngine engine(database, language(), work.path());
    engine.start();
    while (!engine.finished()) {
        EXPECT_TRUE(anythingFlagged(database.offered()));
        std::this_thread::yield();
    }
    EXPECT_TRUE(database.offered().packages[0].flagged);
    engine.wait();
    EXPECT_FALSE(database.offered().packages[0].flagged);
    EXPECT_TRUE(database.offered().packages[1].flagged) << "not fetched: still wanted";
}

// A zip cut short fails to install; the player reads the zip's name, not our temporary file's.
TEST_F(DownloadEngineTest, AnArchiveThatCannotBeReadIsNamedAsTheServerOffersIt)
{
    const std::string zip = test::zipBytes({{"trunc.pbo", "add-on trunc"}});
    const std::string cut = zip.substr(0, zip.size() / 2);
    http.route("/files/trunc.zip", {200, cut, {}, std::string::npos, {}});
    OfferedPackage package;
    package.name = "Trunc";
    package.url = http.url("/files/trunc.zip");
    package.zipSize = static_cast<std::uint32_t>(cut.size());
    package.flagged = true;
    database.offered().packages.push_back(std::move(package));
    DownloadEngine engine(database, language(), work.path());
    const auto outcomes = run(engine);
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_TRUE(outcomes[0].starts_with("Trunc: \"trunc.zip\" cannot be installed: ")) << outcomes[0];
    EXPECT_EQ(outcomes[0].find(".tmp"), std::string::npos) << outcomes[0];
}

TEST_F(DownloadEngineTest, AFailedUrlIsSkippedAndTheTotalStillEnds)
{
    offer("first", "/first.zip");
    offer("second", "/second.zip", false);
    offer("third", "/third");
    DownloadEngine engine(database, language(), work.path());
    EXPECT_EQ(run(engine),
              (std::vector<std::string>{"first installed", "second: the server answered 404", "third installed"}));
    EXPECT_TRUE(database.offered().packages[1].flagged);
    EXPECT_EQ(game.read("addons/third.pbo"), "add-on third");
    EXPECT_FALSE(pathExists(work / "third.tmp")); // a URL without a dot gets ".tmp" too, deleted after
    const auto bars = engine.bars();
    EXPECT_EQ(bars.total.position, bars.total.range);
}

TEST_F(DownloadEngineTest, CancelDuringTheSecondDownload)
{
    offer("first", "/first.zip");
    offer("second", "/second.zip", false);
    offer("third", "/third.zip");
    // The second comes slowly enough to be cancelled midway.
    std::string big = test::zipBytes({{"second.pbo", std::string(400000, 's')}}) + std::string(600000, 'x');
    http.route("/second.zip", {200, big, {}, std::string::npos, 20ms});
    database.offered().packages[1].zipSize = static_cast<std::uint32_t>(big.size());
    DownloadEngine engine(database, language(), work.path());
    engine.start();
    ASSERT_TRUE(test::eventually([&] {
        const auto display = engine.display(currentFileTime());
        return display.downloading == "second" && display.file.position > 10;
    }));
    engine.cancel();
    engine.wait();
    std::vector<std::string> outcomes;
    for (const auto &outcome : engine.outcomes())
        outcomes.push_back(outcome.package + (outcome.installed ? " installed" : ": " + outcome.problem));
    EXPECT_EQ(outcomes, (std::vector<std::string>{"first installed", "second: cancelled"}));
    EXPECT_FALSE(pathExists(work / "second.tmp"));
    EXPECT_FALSE(pathExists(game / "addons/third.pbo"));
    EXPECT_EQ(http.requests(), (std::vector<std::string>{"/first.zip", "/second.zip"}));
}

TEST_F(DownloadEngineTest, RedirectFollowedAndAServerThatStops)
{
    offer("moved", "/real/moved.zip");
    http.route("/old/moved.zip", {302, {}, http.url("/real/moved.zip"), std::string::npos, {}});
    database.offered().packages[0].url = http.url("/old/moved.zip");
    offer("stuck", "/stuck.zip");
    http.route("/stuck.zip", {200, std::string(100000, 'z'), {}, 4096, {}});
    database.offered().packages[1].zipSize = 100000;
    DownloadEngine engine(database, language(), work.path(), 1s);
    const auto outcomes = run(engine);
    ASSERT_EQ(outcomes.size(), 2u);
    EXPECT_EQ(outcomes[0], "moved installed");
    EXPECT_EQ(outcomes[1], "stuck: nothing received for 1 seconds");
    EXPECT_FALSE(pathExists(work / "stuck.tmp"));
}

TEST_F(DownloadEngineTest, OnlyHttpHttpsAndFtpAreFetched)
{
    const int port = std::stoi(http.url("").substr(std::string("http://127.0.0.1:").size()));
    const std::string here = "127.0.0.1:" + std::to_string(port);
    offer("gopher", "/g.zip", false);
    database.offered().packages[0].url = "gopher://" + here + "/1g.zip";
    offer("scp", "/s.zip", false);
    database.offered().packages[1].url = "scp://" + here + "/s.zip";
    offer("local", "/l.zip", false);
    const std::string zip = test::zipBytes({{"local.pbo", "add-on local"}});
    work.write("mirror/local.zip", zip);
    database.offered().packages[2].url = "file://" + work.path() + "mirror/local.zip";
    offer("fine", "/fine.zip");
    DownloadEngine engine(database, language(), work.path());
    const auto outcomes = run(engine);
    ASSERT_EQ(outcomes.size(), 4u);
    EXPECT_NE(outcomes[0].find("gopher: URLs of the scheme \"gopher\" are not fetched"), std::string::npos);
    EXPECT_NE(outcomes[1].find("scp: URLs of the scheme \"scp\" are not fetched"), std::string::npos);
    EXPECT_NE(outcomes[2].find("local: URLs of the scheme \"file\" are not fetched"), std::string::npos);
    EXPECT_EQ(outcomes[3], "fine installed");
    EXPECT_EQ(http.connections(), 1); // the one of "fine"

    // With the option, a local mirror is fine.
    database.offered().packages[2].flagged = true;
    database.offered().packages[2].zipSize = static_cast<std::uint32_t>(zip.size());
    DownloadEngine mirror(database, language(), work.path());
    mirror.allowFileUrls(true);
    EXPECT_EQ(run(mirror), (std::vector<std::string>{"gopher: URLs of the scheme \"gopher\" are not fetched (only "
                                                     "http, https and ftp)",
                                                     "scp: URLs of the scheme \"scp\" are not fetched (only http, "
                                                     "https and ftp)",
                                                     "local installed"}));
}

TEST_F(DownloadEngineTest, ABodyThatNeverEndsStopsJustPastTheAnnouncedSize)
{
    offer("endless", "/endless.zip", false);
    http.route("/endless.zip", {200, std::string(4096, 'e'), {}, std::string::npos, {}, true});
    database.offered().packages[0].zipSize = 200000;
    DownloadEngine engine(database, language(), work.path());
    EXPECT_EQ(run(engine), (std::vector<std::string>{"endless: larger than announced (more than " +
                                                     std::to_string(200000 + 2000 + 65536) + " bytes)"}));
    EXPECT_LE(engine.bars().file.position, (200000u + 2000 + 65536) / 1024);
    EXPECT_TRUE(std::filesystem::is_empty(work.path()));
}

TEST_F(DownloadEngineTest, APackageTooLargeForTheDiskFailsBeforeAnythingIsWritten)
{
    offer("huge", "/huge.zip");
    // Its files claim a thousand times four gigabytes.
    OfferedPackage &huge = database.offered().packages[0];
    for (int i = 0; i < 1000; ++i)
        huge.files.push_back(FileNode::makeFile("part" + std::to_string(i) + ".pbo", 0xffffffffu, 0, 0));
    offer("small", "/small.zip");
    DownloadEngine engine(database, language(), work.path());
    const auto outcomes = run(engine);
    ASSERT_EQ(outcomes.size(), 2u);
    EXPECT_EQ(outcomes[0].rfind("huge: not enough free space: ", 0), 0u) << outcomes[0];
    EXPECT_EQ(outcomes[1], "small installed");
    EXPECT_EQ(http.requests(), std::vector<std::string>{"/small.zip"});
    EXPECT_TRUE(std::filesystem::is_empty(work.path()));
}

TEST_F(DownloadEngineTest, TemporaryFilesAreOurOwn)
{
    // Two URLs ending in the same name, and the player's files under the names they would take.
    offer("first", "/a/pack.zip");
    offer("second", "/b/pack.zip");
    offer("notes", "/NOTES", false);
    work.write("pack.tmp", "the player's pack.tmp");
    work.write("NOTES.tmp", "the player's notes");
    work.write("NOTES", "more notes");
    DownloadEngine engine(database, language(), work.path());
    EXPECT_EQ(run(engine),
              (std::vector<std::string>{"first installed", "second installed", "notes: the server answered 404"}));
    EXPECT_EQ(game.read("addons/first.pbo"), "add-on first");
    EXPECT_EQ(game.read("addons/second.pbo"), "add-on second");
    EXPECT_EQ(work.read("pack.tmp"), "the player's pack.tmp");
    EXPECT_EQ(work.read("NOTES.tmp"), "the player's notes");
    EXPECT_EQ(work.read("NOTES"), "more notes");
    std::vector<std::string> left;
    for (const auto &entry : std::filesystem::directory_iterator(work.path()))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"NOTES", "NOTES.tmp", "pack.tmp"}));
}

} // namespace
