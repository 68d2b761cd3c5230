#include "servers/GameFolderSearch.h"
#include "servers/SearchRoots.h"

#include "support/Loopback.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace garrison;
using test::eventually;
using Names = std::vector<std::string>;

namespace {

std::string searchFor(GameFolderSearch &search)
{
    search.start();
    EXPECT_TRUE(eventually([&] { return !search.searching(); }));
    return search.foundFolder();
}

TEST(GameFolderSearch, FindsTheGameWhateverTheCaseAndFollowsNoLinkOut)
{
    test::TempFolder temp;
    test::TempFolder elsewhere;
    elsewhere.write("Other/FlashpointResistance.exe", "");
    temp.write("disk/a/readme.txt", "");
    temp.write("disk/.hidden/FLASHPOINTRESISTANCE.EXE", "");
    temp.write("disk/b/Games/OFP/operationflashpoint.exe", "");
    temp.write("disk/b/Games/OFP/AddOns/x.pbo", "");
    // Listed before the game: a link out, and a loop back up.
    std::filesystem::create_directory_symlink(elsewhere / "Other", temp / "disk/a/0out");
    std::filesystem::create_directory_symlink("..", temp / "disk/a/loop");
    std::filesystem::create_directory_symlink("../b", temp / "disk/a/b-again");

    GameFolderSearch search({temp / "nothing-here", temp / "disk"});
    const std::string real = std::filesystem::canonical(temp.path()).string();
    EXPECT_EQ(searchFor(search), real + "/disk/b/Games/OFP/");
    // A second search starts from the first root again.
    EXPECT_EQ(searchFor(search), real + "/disk/b/Games/OFP/");
    // Stopped at once it finds nothing, or the same; it always ends.
    search.start();
    search.stop();
    ASSERT_TRUE(eventually([&] { return !search.searching(); }));
    const std::string stopped = search.foundFolder();
    EXPECT_TRUE(stopped.empty() || stopped == real + "/disk/b/Games/OFP/") << stopped;

    // The first root that holds the game ends the search.
    temp.write("first/VBS1.bat", "");
    GameFolderSearch twoGames({temp / "first", temp / "disk"});
    EXPECT_EQ(searchFor(twoGames), real + "/first/");
}

TEST(GameFolderSearch, EndsEmptyInATreeOfLoops)
{
    test::TempFolder temp;
    temp.write("disk/a/b/notes.txt", "");
    std::filesystem::create_directory_symlink("../..", temp / "disk/a/b/up");
    std::filesystem::create_directory_symlink("../a", temp / "disk/a/self");
    std::filesystem::create_directory_symlink(temp / "disk", temp / "disk/a/b/root");
    GameFolderSearch search({temp / "disk"});
    EXPECT_EQ(searchFor(search), "");
    EXPECT_FALSE(search.statusText().empty()) << "the folders it looked into are shown";
}

TEST(SearchRoots, LocalDisksOnlyInTheSystemsOrder)
{
    const std::string mounts = "proc /proc proc rw 0 0\n"
                               "/dev/sda2 / ext4 rw,relatime 0 0\n"
                               "tmpfs /run tmpfs rw 0 0\n"
                               "server:/export /mnt/nfs nfs4 rw 0 0\n"
                               "//nas/games /mnt/nas cifs rw 0 0\n"
                               "/dev/sdb1 /media/usb vfat rw 0 0\n"
                               "/dev/nvme0n1p3 /mnt/my\\040games btrfs rw 0 0\n"
                               "/dev/sda2 / ext4 rw 0 0\n"
                               "broken line\n"
                               "tank/games /tank zfs rw 0 0\n";
    const auto removable = [](const std::string &device) {
        return device == "/dev/sdb1";
    };
    EXPECT_EQ(localDiskMounts(mounts, removable), (Names{"/", "/mnt/my games/", "/tank/"}));
}

TEST(SearchRoots, WineDrivesThenSteamLibrariesThenDisks)
{
    test::TempFolder temp;
    temp.write("prefix/drive_c/windows/win.ini", "");
    temp.write("games/readme.txt", "");
    temp.write("home/.local/share/Steam/steamapps/libraryfolders.vdf", "");
    std::filesystem::create_directories(temp / "prefix/dosdevices");
    std::filesystem::create_directory_symlink("../drive_c", temp / "prefix/dosdevices/c:");
    std::filesystem::create_directory_symlink(temp / "games", temp / "prefix/dosdevices/d:");
    std::filesystem::create_directory_symlink("/", temp / "prefix/dosdevices/z:");
    std::filesystem::create_symlink("/dev/null", temp / "prefix/dosdevices/com1");
    const std::string mounts =
        "/dev/sda2 " + (temp / "games") + " ext4 rw 0 0\n/dev/sda3 " + (temp / "home") + " ext4 rw 0 0\n";
    const Names roots = gameSearchRoots({temp / "prefix", temp / "home"}, mounts);
    const std::string real = std::filesystem::canonical(temp.path()).string();
    EXPECT_EQ(roots, (Names{real + "/prefix/drive_c/", real + "/games/", real + "/home/.local/share/Steam/",
                            real + "/home/"}));
}

} // namespace
