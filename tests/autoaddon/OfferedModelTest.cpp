#include "autoaddon/OfferedModel.h"
#include "aaserver/OfferedBlockWriter.h"
#include "addondb/OfferedBlock.h"
#include "addondb/ScannerFixture.h"

#include "support/CrcForge.h"

#include <gtest/gtest.h>

using namespace garrison;
using test::crcOf;

namespace {

class OfferedModelTest : public ::testing::Test, public test::ScannerFixture {
protected:
    // Ten offered files addons\NAME_N.pbo; the first `present` exist in the game.
    OfferedEntry tenFiles(const std::string &name, int present, int priority, const std::string &where = "addons/")
    {
        OfferedEntry entry{"http://x/" + name + ".zip", 1000, name, "", priority, {}};
        for (int i = 0; i < 10; ++i) {
            const std::string content = name + std::to_string(i);
            const std::string fileName = name + "_" + std::to_string(i) + ".pbo";
            entry.files.push_back({"addons\\" + fileName, static_cast<std::uint32_t>(content.size()), crcOf(content)});
            if (i < present)
                file(where + fileName, content);
        }
        return entry;
    }
    OfferedList &arrive(const OfferedContent &offer)
    {
        scan();
        database.derive();
        OfferedList &list = database.offered();
        EXPECT_TRUE(parseOfferedBlock(writeOfferedBlock(offer), list));
        evaluateArrivedList(list, database);
        return list;
    }
};

TEST_F(OfferedModelTest, StatusThresholdsAndAutomaticFlags)
{
    OfferedContent offer;
    offer.packages = {tenFiles("half", 5, 7), tenFiles("four", 4, 7), tenFiles("none", 0, 2), tenFiles("all", 10, 9)};
    offer.packages.push_back({"http://x/empty.zip", 0, "empty", "", 9, {}});
    auto moved = tenFiles("moved", 10, 9, "Res/AddOns/");
    offer.packages.push_back(moved);
    const auto &list = arrive(offer);
    const struct {
        InstallStatus status;
        bool flagged;
    } wanted[] = {
        {InstallStatus::MissingFiles, true},                                     // 5 of 10
        {InstallStatus::NotInstalled, true},                                     // 4 of 10
        {InstallStatus::NotInstalled, false},                                    // optional
        {InstallStatus::Installed, false},    {InstallStatus::Installed, false}, // no files
        {InstallStatus::PathDiffers, false},                                     // found below "Res\AddOns"
    };
    ASSERT_EQ(list.packages.size(), std::size(wanted));
    for (std::size_t i = 0; i < std::size(wanted); ++i) {
        EXPECT_EQ(list.packages[i].status, wanted[i].status) << list.packages[i].name;
        EXPECT_EQ(list.packages[i].flagged, wanted[i].flagged) << list.packages[i].name;
    }
    EXPECT_EQ(list.packages[5].files[1]->status, NodeStatus::DiffPath);
    EXPECT_EQ(list.packages[0].files[6]->status, NodeStatus::Missing);
    EXPECT_TRUE(list.packages[3].allActive);
}

TEST_F(OfferedModelTest, RowTextsFlagsAndPlannedDownload)
{
    OfferedContent offer;
    offer.packages = {
        {"u1", 1048576, "One", "", 0, {{"MyMod\\AddOns\\a.pbo", 1, 1}, {"MyMod\\AddOns\\b\\c.pbo", 1, 2}}},
        {"u2", 524288, "Two", "", 5, {{"x.txt", 1, 1}}},
        {"u3", 1234567, "Three", "", 12, {{"Missions\\m.pbo", 1, 1}}}};
    auto &list = arrive(offer);
    const auto one = offeredRow(list.packages[0], language());
    EXPECT_EQ(one.priority, "Optional");
    EXPECT_EQ(one.status, "No file installed");
    EXPECT_EQ(one.icon, 5);
    EXPECT_EQ(one.zipSize, "1,024 KB");
    EXPECT_EQ(one.defaultTo, "MyMod\\AddOns\\");
    EXPECT_EQ(one.action, "");
    const auto two = offeredRow(list.packages[1], language());
    EXPECT_EQ(two.priority, "Recommended");
    EXPECT_EQ(two.defaultTo, "<ofp root>");
    EXPECT_EQ(two.action, "Download");
    const auto three = offeredRow(list.packages[2], language());
    EXPECT_EQ(three.priority, "Required");
    EXPECT_EQ(three.zipSize, "1,206 KB");

    changeFlags(list, {0, 1}, FlagChange::Toggle); // one on, two off
    changeFlags(list, {2}, FlagChange::Deflag);
    EXPECT_EQ(plannedDownloadSize(list), 1048576u);
    changeFlags(list, {1, 7}, FlagChange::Flag);
    EXPECT_EQ(plannedDownloadSize(list), 1048576u + 524288u);
    EXPECT_EQ(plannedDownloadText(plannedDownloadSize(list), language()), "1.50 MB to download");
    EXPECT_EQ(plannedDownloadText(0, language()), "0.00 MB to download");
    EXPECT_EQ(plannedDownloadText(12345678901, language()), "11,774.61 MB to download");
    EXPECT_TRUE(anythingFlagged(list));
}

TEST_F(OfferedModelTest, InstallFolderBox)
{
    file("@ww2/AddOns/t.pbo");
    file("MyMod/x");
    scan();
    database.derive();
    EXPECT_EQ(installFolderChoices(database, language()),
              (std::vector<std::string>{"<default>", "<addons>", "<res>", "@ww2", "MyMod"}));
    const struct {
        const char *text;
        std::optional<std::string> redirect;
    } cases[] = {
        {"<default>", ""},
        {"  <ADDONS> ", "AddOns\\"},
        {"<res>", "Res\\AddOns\\"},
        {"MyMod", "MyMod\\AddOns\\"},
        {"MyMod/sub/deeper", "MyMod\\AddOns\\"},
        {"", "\\AddOns\\"},
        {"<mine>", std::nullopt},
        {"a>b", std::nullopt},
        {"\\abs", std::nullopt},
        {"/abs", std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(installRedirectFor(c.text, language()), c.redirect) << c.text;
}

} // namespace
