#include "platform/FileSystem.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

using namespace garrison;

namespace {

TEST(RenameNoReplace, LeavesAnExistingTargetUntouched)
{
    test::TempFolder folder;
    const auto from = folder.write("new.pbo", "new");
    const auto to = folder.write("old.pbo", "old");
    EXPECT_EQ(renameNoReplace(from, to), FsStatus::AlreadyExists);
    EXPECT_EQ(folder.read("old.pbo"), "old");
    EXPECT_EQ(folder.read("new.pbo"), "new");
}

TEST(RenameNoReplace, MovesToAFreeNameAndRefusesOverAFolder)
{
    test::TempFolder folder;
    const auto from = folder.write("a.pbo", "a");
    EXPECT_EQ(renameNoReplace(from, folder / "b.pbo"), FsStatus::Ok);
    EXPECT_FALSE(pathExists(from));
    EXPECT_EQ(folder.read("b.pbo"), "a");

    ASSERT_EQ(createFolder(folder / "one"), FsStatus::Ok);
    ASSERT_EQ(createFolder(folder / "two"), FsStatus::Ok);
    EXPECT_EQ(renameNoReplace(folder / "one", folder / "two"), FsStatus::AlreadyExists);
    EXPECT_EQ(renameNoReplace(folder / "none", folder / "three"), FsStatus::NotFound);
}

TEST(FileSystem, DeleteRemoveAndCreateReportTheirCasesApart)
{
    test::TempFolder folder;
    folder.write("full/x.pbo", "x");
    EXPECT_EQ(removeFolder(folder / "full"), FsStatus::NotEmpty);
    EXPECT_EQ(removeFolder(folder / "none"), FsStatus::NotFound);
    EXPECT_EQ(createFolder(folder / "full"), FsStatus::AlreadyExists);
    EXPECT_EQ(createFolder(folder / "none/deeper"), FsStatus::NotFound);
    EXPECT_EQ(deleteFile(folder / "full/x.pbo"), FsStatus::Ok);
    EXPECT_EQ(deleteFile(folder / "full/x.pbo"), FsStatus::NotFound);
    EXPECT_EQ(removeFolder(folder / "full"), FsStatus::Ok);
    EXPECT_FALSE(pathExists(folder / "full"));
}

TEST(FileSystem, EntryInfoTellsSizeKindAndHidden)
{
    test::TempFolder folder;
    const auto file = folder.write("Res/.hidden", "12345");
    const auto info = entryInfo(file);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->name, ".hidden");
    EXPECT_EQ(info->size, 5u);
    EXPECT_TRUE(info->hidden);
    EXPECT_FALSE(info->folder);
    EXPECT_GT(info->time, 116444736000000000ull);

    const auto dir = entryInfo(folder / "Res/");
    ASSERT_TRUE(dir);
    EXPECT_EQ(dir->name, "Res");
    EXPECT_TRUE(dir->folder);
    EXPECT_EQ(dir->size, 0u);
    EXPECT_FALSE(entryInfo(folder / "missing"));
}

} // namespace
