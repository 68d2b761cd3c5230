#include "platform/FileTime.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

using namespace garrison;

namespace {

TEST(FileTime, ConvertsFromAndToUnixTime)
{
    EXPECT_EQ(fileTimeFromTimespec({0, 0}), 116444736000000000ull);
    // 2001-09-09 01:46:40.1234567 UTC; nanoseconds are cut to 100-ns units.
    const timespec time{1000000000, 123456789};
    const FileTime fileTime = fileTimeFromTimespec(time);
    EXPECT_EQ(fileTime, 126444736001234567ull);
    const timespec back = timespecFromFileTime(fileTime);
    EXPECT_EQ(back.tv_sec, 1000000000);
    EXPECT_EQ(back.tv_nsec, 123456700);
    EXPECT_EQ(fileTimeFromTimespec({-11644473601, 0}), 0u); // before 1601 clamps
}

TEST(FileTime, SetsAndReadsAFilesModificationTime)
{
    test::TempFolder folder;
    const auto path = folder.write("x.pbo", "data");
    const FileTime wanted = 126444736001234567ull;
    ASSERT_TRUE(setFileModificationTime(path, wanted));
    EXPECT_EQ(fileModificationTime(path), wanted);
    EXPECT_FALSE(fileModificationTime(folder / "missing").has_value());
    EXPECT_FALSE(setFileModificationTime(folder / "missing", wanted));
}

} // namespace
