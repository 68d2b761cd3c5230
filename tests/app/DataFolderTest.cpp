#include "app/DataFolder.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

using namespace garrison;

namespace {

TEST(DataFolder, TheSwitchChoosesTheUsersDataFolder)
{
    std::vector<std::string> words{"--data-folder", "-connect=10.0.0.1", "--data-folder"};
    EXPECT_TRUE(takeDataFolderSwitch(words));
    EXPECT_EQ(words, std::vector<std::string>{"-connect=10.0.0.1"});
    EXPECT_FALSE(takeDataFolderSwitch(words));

    EXPECT_EQ(desktopDataFolder("/data", "/home/p"), "/data/garrison");
    EXPECT_EQ(desktopDataFolder(nullptr, "/home/p"), "/home/p/.local/share/garrison");
    EXPECT_EQ(desktopDataFolder("", "/home/p"), "/home/p/.local/share/garrison");
    EXPECT_EQ(desktopDataFolder("relative", "/home/p"), "/home/p/.local/share/garrison");
}

TEST(DataFolder, EnteringMakesTheFolderAndWorksThere)
{
    test::TempFolder temp;
    const auto before = std::filesystem::current_path();
    ASSERT_TRUE(enterFolder(temp / "home/.local/share/garrison"));
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(temp / "home/.local/share/garrison"));
    std::filesystem::current_path(before);
    temp.write("file", "");
    EXPECT_FALSE(enterFolder(temp / "file/garrison"));
}

} // namespace
