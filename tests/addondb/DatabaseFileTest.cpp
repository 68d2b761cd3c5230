#include "ScannerFixture.h"

#include "addondb/DatabaseFile.h"
#include "addondb/PackageOperations.h"
#include "common/LittleEndian.h"
#include "platform/FileSystem.h"
#include "platform/WholeFile.h"

#include <gtest/gtest.h>
#include <zlib.h>

using namespace garrison;

namespace {

std::vector<std::uint8_t> packed(const std::vector<std::uint8_t> &payload, std::uint32_t version = 1,
                                 std::optional<std::uint32_t> statedLength = std::nullopt)
{
    std::vector<std::uint8_t> file;
    appendLittleEndian(file, version);
    appendLittleEndian(file, statedLength.value_or(static_cast<std::uint32_t>(payload.size())));
    uLongf length = compressBound(payload.size());
    file.resize(8 + length);
    compress2(file.data() + 8, &length, payload.data(), payload.size(), 9);
    file.resize(8 + length);
    return file;
}

void text(std::vector<std::uint8_t> &out, const std::string &value)
{
    out.insert(out.end(), value.begin(), value.end());
    out.push_back(0);
}

// Folder "addons\" holding one file, and the three standard packages, the
// first holding both nodes.
std::vector<std::uint8_t> smallPayload()
{
    std::vector<std::uint8_t> p;
    p.push_back(1);
    text(p, "addons\\");
    appendLittleEndian(p, std::uint16_t{1});
    appendLittleEndian(p, std::int32_t{1});
    appendLittleEndian(p, std::uint16_t{0x12});
    p.push_back(2);
    text(p, "X.PBO");
    text(p, "x.pbo");
    appendLittleEndian(p, std::uint16_t{1});
    appendLittleEndian(p, std::int32_t{1});
    appendLittleEndian(p, std::uint16_t{0x02});
    appendLittleEndian(p, std::uint32_t{1234});
    appendLittleEndian(p, std::uint32_t{0xCAFE});
    appendLittleEndian(p, std::uint64_t{0x0123456789ABCDEF});
    p.push_back(3);
    p.push_back(3);
    appendLittleEndian(p, std::uint32_t{3});
    for (int i = 0; i < 3; ++i) {
        text(p, "stored name");
        appendLittleEndian(p, std::uint64_t{1000u + static_cast<unsigned>(i)});
        text(p, "comment");
        text(p, "");
        text(p, "");
        appendLittleEndian(p, std::uint32_t{i == 0 ? 2u : 0u});
        if (i == 0) {
            appendLittleEndian(p, std::uint32_t{0});
            appendLittleEndian(p, std::uint32_t{1});
        }
    }
    return p;
}

class DatabaseFileTest : public ::testing::Test, public test::ScannerFixture {
protected:
    void folderWrite(const std::vector<std::uint8_t> &bytes)
    {
        game.write("garrison.dat", {bytes.begin(), bytes.end()});
    }

    std::string dat = game / "garrison.dat";
    std::string da2 = game / "garrison.da2";
};

TEST_F(DatabaseFileTest, EmptyDatabaseSavesItsMinimalPayload)
{
    EXPECT_FALSE(DatabaseFile::save(database, dat, da2)); // no root yet
    EXPECT_FALSE(pathExists(dat));
    database.makeRoot();
    std::vector<std::uint8_t> wanted = {3};
    appendLittleEndian(wanted, std::uint32_t{3});
    for (const auto &package : database.packages()) {
        text(wanted, package.name);
        appendLittleEndian(wanted, package.installDate);
        wanted.insert(wanted.end(), {0, 0, 0});
        appendLittleEndian(wanted, std::uint32_t{0});
    }
    EXPECT_EQ(DatabaseFile::encodePayload(database), wanted);
    ASSERT_TRUE(DatabaseFile::save(database, dat, da2));
    EXPECT_FALSE(pathExists(da2));
    EXPECT_EQ(readWholeFile(dat), packed(wanted));
}

TEST_F(DatabaseFileTest, LoadTakesTheStoredValuesAndTheDiskLetterCase)
{
    folderWrite(packed(smallPayload()));
    ASSERT_TRUE(DatabaseFile::load(database, dat));
    const FileNode *x = node("addons\\x.pbo");
    ASSERT_NE(x, nullptr);
    EXPECT_EQ(x->name(), "x.pbo");
    EXPECT_EQ(x->size, 1234u);
    EXPECT_EQ(x->crc, 0xCAFEu);
    EXPECT_EQ(x->time, 0x0123456789ABCDEFu);
    EXPECT_EQ(x->flags, NodeFlag::Core);
    EXPECT_EQ(database.root()->name(), game.path());
    EXPECT_EQ(database.packages()[0].name, "<Core files>"); // stored names are replaced
    EXPECT_EQ(database.packages()[1].installDate, 1001u);
    EXPECT_EQ(database.packages()[0].files.size(), 2u);
    EXPECT_EQ(database.addonsFolder(), node("addons\\"));

    // Saved again: the same payload but for the name's case.
    auto again = smallPayload();
    const std::string upper = "X.PBO";
    auto at = std::search(again.begin(), again.end(), upper.begin(), upper.end());
    std::copy_n("x.pbo", 5, at);
    for (int i = 0; i < 3; ++i) {
        const std::string stored = "stored name";
        at = std::search(again.begin(), again.end(), stored.begin(), stored.end());
        const std::string name = database.packages()[static_cast<std::size_t>(i)].name;
        at = again.erase(at, at + static_cast<std::ptrdiff_t>(stored.size()));
        again.insert(at, name.begin(), name.end());
    }
    EXPECT_EQ(DatabaseFile::encodePayload(database), again);
}

TEST_F(DatabaseFileTest, ScanSaveLoadRoundTrip)
{
    file("addons/x.pbo", "x");
    file("MyMod/AddOns/y.pbx", "y");
    file("Missions/m.pbo", "m");
    scan();
    std::vector<ShownFile> files;
    for (const auto &n : database.packages()[kUnknownAddonsPackage].files)
        files.push_back({n, kUnknownAddonsPackage});
    ASSERT_EQ(newPackage(database, "Mine", "http://example.org", files), PackageNameCheck::Ok);
    const auto before = DatabaseFile::encodePayload(database);
    ASSERT_TRUE(DatabaseFile::save(database, dat, da2));

    test::ScannerFixture other;
    other.database.setGameFolder(game.path());
    ASSERT_TRUE(DatabaseFile::load(other.database, dat));
    EXPECT_EQ(DatabaseFile::encodePayload(other.database), before);
    EXPECT_EQ(other.database.packages().back().comment, "http://example.org");
}

TEST_F(DatabaseFileTest, MalformedFilesChangeNothing)
{
    const auto good = smallPayload();
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> cases;
    for (std::size_t cut = 0; cut < good.size(); ++cut)
        cases.push_back(
            {"cut at " + std::to_string(cut), packed({good.begin(), good.begin() + static_cast<long>(cut)})});
    auto beyond = good;
    beyond[beyond.size() - 4] = 2; // the second file-list entry names record 2 of 0..1
    cases.push_back({"sequence number beyond the records", packed(beyond)});
    auto fewer = good;
    const std::vector<std::uint8_t> three = {3, 0, 0, 0};
    auto count = std::search(fewer.begin(), fewer.end(), three.begin(), three.end());
    *count = 2;
    cases.push_back({"two packages", packed(fewer)});
    cases.push_back({"version 2", packed(good, 2)});
    cases.push_back({"stated length too small", packed(good, 1, 10)});
    cases.push_back({"stated length beyond what zlib makes", packed(good, 1, 0xFFFFFFF0)});
    cases.push_back({"not zlib", {1, 0, 0, 0, 10, 0, 0, 0, 'g', 'a', 'r', 'b', 'a', 'g', 'e'}});
    cases.push_back({"header only", {1, 0, 0, 0}});
    auto whole = packed(good);
    cases.push_back({"packed data cut short", {whole.begin(), whole.end() - 6}});
    whole.back() ^= 0x5a; // the checksum at the stream's end
    cases.push_back({"checksum wrong", whole});

    database.makeRoot();
    const FileNode *root = database.root();
    for (const auto &[name, bytes] : cases) {
        folderWrite(bytes);
        EXPECT_FALSE(DatabaseFile::load(database, dat)) << name;
        EXPECT_EQ(database.root(), root) << name;
        EXPECT_EQ(database.packages().size(), 3u) << name;
    }
    EXPECT_FALSE(DatabaseFile::load(database, game / "missing.dat"));
}

TEST_F(DatabaseFileTest, SaveNeverLeavesNoDatabase)
{
    database.makeRoot();
    ASSERT_TRUE(DatabaseFile::save(database, dat, da2));
    const auto first = readWholeFile(dat);
    // A temporary that cannot be written (its name is taken by a folder):
    // the old database stays as it was.
    ASSERT_EQ(createFolder(da2), FsStatus::Ok);
    file("addons/x.pbo");
    scan();
    EXPECT_FALSE(DatabaseFile::save(database, dat, da2));
    EXPECT_EQ(readWholeFile(dat), first);
}

} // namespace
