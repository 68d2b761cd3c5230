#include "addondb/OfferedBlock.h"
#include "aaserver/OfferedBlockWriter.h"

#include <gtest/gtest.h>

using namespace garrison;

namespace {

OfferedContent twoPackages()
{
    OfferedContent offer;
    offer.serverTexts = {"Coop server", "Info", "Admin", "Com"};
    offer.deactivations = "addons/old.pbo:1234:abcd:y.pbo:99";
    offer.packages = {
        {"http://x/a.zip", 5000, "Pack A", "about A", 7, {{"addons\\a.pbo", 10, 0xA}, {"addons\\sub\\b.pbo", 20, 0xB}}},
        {"http://x/b.zip", 0, "Pack B", "", 2, {}},
    };
    return offer;
}

TEST(OfferedBlock, PackagesTextsAndDeactivations)
{
    OfferedList list;
    ASSERT_TRUE(parseOfferedBlock(writeOfferedBlock(twoPackages()), list));
    EXPECT_EQ(list.serverTexts[0], "Coop server");
    EXPECT_EQ(list.serverTexts[3], "Com");
    ASSERT_EQ(list.packages.size(), 2u);
    const auto &a = list.packages[0];
    EXPECT_EQ(a.url, "http://x/a.zip");
    EXPECT_EQ(a.zipSize, 5000u);
    EXPECT_EQ(a.comment, "about A");
    EXPECT_EQ(a.priority, 7);
    std::vector<std::string> paths;
    for (const auto &file : a.files)
        paths.push_back(file->relativePath());
    EXPECT_EQ(paths, (std::vector<std::string>{"addons\\", "addons\\a.pbo", "addons\\sub\\", "addons\\sub\\b.pbo"}));
    EXPECT_EQ(a.files[3]->crc, 0xBu);
    EXPECT_TRUE(list.packages[1].files.empty());
    // The second entry lacks its third colon.
    EXPECT_EQ(list.deactivations, (std::vector<DeactivationEntry>{{"addons\\old.pbo", 1234, 0xABCD}}));
}

TEST(OfferedBlock, CutShortKeepsWholePackagesOnly)
{
    const auto block = writeOfferedBlock(twoPackages());
    // Where the second package starts: its URL.
    const std::string url = "http://x/b.zip";
    const auto second =
        static_cast<std::size_t>(std::search(block.begin(), block.end(), url.begin(), url.end()) - block.begin());
    for (std::size_t cut = 0; cut < block.size(); ++cut) {
        OfferedList list;
        EXPECT_FALSE(parseOfferedBlock({block.data(), cut}, list)) << cut;
        EXPECT_EQ(list.packages.size(), cut >= second ? 1u : 0u) << cut;
    }
    OfferedList empty;
    OfferedContent none = twoPackages();
    none.packages.clear();
    EXPECT_TRUE(parseOfferedBlock(writeOfferedBlock(none), empty));
    EXPECT_TRUE(empty.packages.empty());
    EXPECT_EQ(empty.deactivations.size(), 1u);
}

TEST(OfferedBlock, DeactivationTextCases)
{
    const struct {
        const char *text;
        std::vector<DeactivationEntry> entries;
    } cases[] = {
        {"", {}},
        {"x.pbo:1234:abcd:", {{"x.pbo", 1234, 0xABCD}}},
        {"a/b/x.pbo:12kb:0xFF:y.pbo:1:2:", {{"a\\b\\x.pbo", 12, 0xFF}, {"y.pbo", 1, 2}}},
        {"x.pbo:1234:abcd", {}},
        {":::", {{"", 0, 0}}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(parseDeactivationText(c.text), c.entries) << c.text;
}

} // namespace
