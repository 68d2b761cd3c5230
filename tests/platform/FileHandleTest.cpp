#include "platform/FileHandle.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace garrison;
using Mode = FileHandle::Mode;

namespace {

std::size_t openDescriptors()
{
    std::size_t count = 0;
    for ([[maybe_unused]] const auto &entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}

TEST(FileHandle, EachModeOpensAndPositionsAsItSays)
{
    test::TempFolder folder;
    const struct {
        Mode mode;
        const char *write;
        const char *expected;
    } cases[] = {
        {Mode::CreateTruncate, "xy", "xy"},
        {Mode::ReadWrite, "xy", "xyarting"},
        {Mode::Append, "xy", "startingxy"},
    };
    for (const auto &c : cases) {
        const auto path = folder.write("f.txt", "starting");
        {
            FileHandle file(path, c.mode);
            ASSERT_TRUE(file.isOpen());
            EXPECT_EQ(file.write(c.write, 2), 2);
        }
        EXPECT_EQ(folder.read("f.txt"), c.expected) << static_cast<int>(c.mode);
    }
}

TEST(FileHandle, CreatingModesMakeAMissingFileReadingModeDoesNot)
{
    test::TempFolder folder;
    EXPECT_FALSE(FileHandle(folder / "none", Mode::ReadExisting).isOpen());
    for (const Mode mode : {Mode::CreateTruncate, Mode::CreateNew, Mode::ReadWrite, Mode::Append}) {
        std::filesystem::remove(folder / "made");
        EXPECT_TRUE(FileHandle(folder / "made", mode).isOpen());
        EXPECT_TRUE(std::filesystem::exists(folder / "made"));
    }
    // Creating a new file never opens, let alone empties, one that is there.
    folder.write("kept", "someone's");
    EXPECT_FALSE(FileHandle(folder / "kept", Mode::CreateNew).isOpen());
    EXPECT_EQ(folder.read("kept"), "someone's");
}

TEST(FileHandle, ReadsAndReportsFailureAsMinusOne)
{
    test::TempFolder folder;
    const auto path = folder.write("f.txt", "hello");
    FileHandle file(path, Mode::ReadExisting);
    char buffer[16] = {};
    EXPECT_EQ(file.read(buffer, sizeof buffer), 5);
    EXPECT_EQ(std::string(buffer), "hello");
    EXPECT_EQ(file.read(buffer, sizeof buffer), 0);
    EXPECT_EQ(file.write("x", 1), -1); // opened for reading only
    file.close();
    EXPECT_EQ(file.read(buffer, 1), -1);
    EXPECT_EQ(file.write("x", 1), -1);
}

TEST(FileHandle, ClosesWhatItOpened)
{
    test::TempFolder folder;
    const auto path = folder.write("f.txt", "x");
    const auto before = openDescriptors();
    {
        FileHandle first(path, Mode::ReadExisting);
        FileHandle second(std::move(first));
        FileHandle third(path, Mode::ReadExisting);
        third = std::move(second);
        EXPECT_EQ(openDescriptors(), before + 1);
    }
    EXPECT_EQ(openDescriptors(), before);
}

} // namespace
