#include "platform/DirectoryListing.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

using namespace garrison;

namespace {

TEST(DirectoryListing, ListsEntriesSortedIgnoringCaseWithTheirDetails)
{
    test::TempFolder folder;
    folder.write("b.pbo", "bb");
    folder.write("A.pbo", "a");
    folder.write("c.PBO", "");
    folder.write(".cache", "1234");
    folder.write("AddOns/x.pbo", "x");
    const auto entries = listDirectory(folder.path());
    ASSERT_TRUE(entries);
    std::vector<std::string> names;
    for (const auto &entry : *entries)
        names.push_back(entry.name);
    EXPECT_EQ(names, (std::vector<std::string>{".cache", "A.pbo", "AddOns", "b.pbo", "c.PBO"}));
    EXPECT_TRUE((*entries)[0].hidden);
    EXPECT_EQ((*entries)[0].size, 4u);
    EXPECT_TRUE((*entries)[2].folder);
    EXPECT_FALSE((*entries)[2].hidden);
    EXPECT_EQ((*entries)[3].size, 2u);
}

TEST(DirectoryListing, MissingFolderIsNotAnEmptyOne)
{
    test::TempFolder folder;
    EXPECT_FALSE(listDirectory(folder / "none"));
    const auto empty = listDirectory(folder.path());
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->empty());
}

TEST(DirectoryListing, FindsAnEntryIgnoringCaseAndPrefersTheExactSpelling)
{
    test::TempFolder folder;
    folder.write("AddOns/x.pbo", "x");
    EXPECT_EQ(findEntryIgnoringCase(folder.path(), "addons"), "AddOns");
    EXPECT_EQ(findEntryIgnoringCase(folder.path(), "ADDONS"), "AddOns");
    EXPECT_FALSE(findEntryIgnoringCase(folder.path(), "addon"));
    folder.write("addons/y.pbo", "y");
    EXPECT_EQ(findEntryIgnoringCase(folder.path(), "addons"), "addons");
    EXPECT_EQ(findEntryIgnoringCase(folder.path(), "AddOns"), "AddOns");
    EXPECT_FALSE(findEntryIgnoringCase(folder / "none", "x"));
}

} // namespace
