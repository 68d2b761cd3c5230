#include "servers/GameFolder.h"
#include "servers/WineRegistry.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace garrison;

namespace {

TEST(WineRegistry, ValuesWithWinesEscapes)
{
    const auto registry =
        WineRegistry::parse("WINE REGISTRY Version 2\r\n"
                            ";; All keys relative to REGISTRY\\\\Machine\r\n"
                            "#arch=win64\r\n"
                            "\r\n"
                            "[Software\\\\Wow6432Node\\\\Codemasters\\\\Operation Flashpoint] 1796871141\r\n"
                            "#time=1dd88517a5d01aa\r\n"
                            "\"MAIN\"=\"C:\\\\Games\\\\OFP\"\r\n"
                            "\"Other\"=dword:00000001\r\n"
                            "\"Bin\"=hex:01,02,\\\r\n"
                            "  03\r\n"
                            "\r\n"
                            "[Software\\\\BIS\\\\VBS1] 1796871201\n"
                            "@=\"default\"\n"
                            "\"MAIN\"=str(2):\"D:\\\\Spiele\\\\VBS1 \\\"Test\\\" \\xc4\\x20ac\\\\\"\n"
                            "\"Tab\"=\"a\\tb\\0\"\n");
    EXPECT_EQ(registry.value("software\\wow6432node\\codemasters\\operation flashpoint", "main"), "C:\\Games\\OFP");
    EXPECT_EQ(registry.value("Software\\BIS\\VBS1", "MAIN"), "D:\\Spiele\\VBS1 \"Test\" \xC3\x84\xE2\x82\xAC\\");
    EXPECT_EQ(registry.value("Software\\BIS\\VBS1", ""), "default");
    EXPECT_EQ(registry.value("Software\\BIS\\VBS1", "Tab"), std::string("a\tb\0", 4));
    EXPECT_FALSE(registry.value("Software\\Wow6432Node\\Codemasters\\Operation Flashpoint", "Other"));
    EXPECT_FALSE(registry.value("Software\\Codemasters\\Operation Flashpoint", "MAIN"));
}

// A Wine prefix and a home folder with what discovery looks for.
struct Places {
    test::TempFolder folder;
    DiscoveryPlaces places{folder / "prefix/", folder / "home/"};

    Places()
    {
        std::filesystem::create_directories(folder / "prefix/drive_c");
        std::filesystem::create_directories(folder / "prefix/dosdevices");
        std::filesystem::create_directory_symlink("../drive_c", folder / "prefix/dosdevices/c:");
        std::filesystem::create_directories(folder / "home");
    }
    void registry(const std::string &keys) { folder.write("prefix/system.reg", "WINE REGISTRY Version 2\n" + keys); }
};

TEST(GameFolder, FromTheWineRegistry)
{
    Places p;
    p.folder.write("prefix/drive_c/Games/VBS/RB.exe", "x");
    p.folder.write("prefix/drive_c/Games/Empty/readme.txt", "x");
    p.registry("[Software\\\\Codemasters\\\\Operation Flashpoint] 1\n\"MAIN\"=\"C:\\\\Games\\\\Empty\"\n"
               "[Software\\\\Wow6432Node\\\\BIS\\\\VBS1] 2\n\"MAIN\"=\"c:\\\\games\\\\vbs\"\n");
    const auto found = discoverGameFolder(p.places);
    ASSERT_TRUE(found);
    // The key's folder without an executable is passed over; the path takes
    // the spelling on disk and its trailing slash.
    EXPECT_EQ(std::filesystem::canonical(found->folder),
              std::filesystem::canonical(p.folder / "prefix/drive_c/Games/VBS"));
    EXPECT_EQ(found->folder.back(), '/');
    EXPECT_NE(found->source.find("Wow6432Node\\BIS\\VBS1"), std::string::npos);
}

TEST(GameFolder, WindowsPathsOfNativeFolders)
{
    test::TempFolder prefix;
    std::filesystem::create_directories(prefix / "drive_c/Games/OFP");
    std::filesystem::create_directories(prefix / "dosdevices");
    std::filesystem::create_symlink("../drive_c", prefix / "dosdevices/c:");
    std::filesystem::create_symlink("/", prefix / "dosdevices/z:");
    test::TempFolder noDrives;
    const struct {
        std::string prefix, native, windows;
    } cases[] = {
        // The drive that holds the folder most closely wins over "/".
        {prefix.path(), prefix / "drive_c/Games/OFP/", "C:\\Games\\OFP\\"},
        {prefix.path(), prefix / "drive_c/Games/OFP", "C:\\Games\\OFP"},
        {prefix.path(), "/usr/share/", "Z:\\usr\\share\\"},
        // A prefix without drives: Wine's own "Z:" for "/".
        {noDrives.path(), "/usr/share/", "Z:\\usr\\share\\"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(windowsFromNativePath(c.prefix, c.native), c.windows) << c.native;
}

TEST(GameFolder, SteamEditionInAnyLibrary)
{
    Places p;
    p.folder.write("home/.local/share/Steam/steamapps/libraryfolders.vdf",
                   "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" + p.folder / "games" +
                       "\"\n\t\t\"apps\"\t{ \"65790\" \"123\" }\n\t}\n}\n");
    p.folder.write("games/steamapps/common/ARMA Cold War Assault/ColdWarAssault.exe", "x");
    const auto libraries = steamLibraries(p.places.home);
    EXPECT_EQ(libraries, (std::vector<std::string>{p.folder / "home/.local/share/Steam/", p.folder / "games/"}));
    const auto found = discoverGameFolder(p.places);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->folder, p.folder / "games/steamapps/common/ARMA Cold War Assault/");
    EXPECT_TRUE(isGameFolder(found->folder));

    p.folder.write("home/.steam/steam/steamapps/libraryfolders.vdf",
                   "\"LibraryFolders\"\n{\n\t\"TimeNextStatsReport\"\t\"1\"\n\t\"1\"\t\"/old/library\"\n}\n");
    EXPECT_EQ(steamLibraries(p.places.home)[1], "/old/library/");
}

TEST(GameFolder, CheckAtStartAndWhatStartsAfter)
{
    Places p;
    EXPECT_FALSE(discoverGameFolder(p.places)); // nothing anywhere: the user is asked
    p.folder.write("ofp/FlashpointResistance.exe", "x");
    EXPECT_EQ(checkGameFolderAtStart(p.folder / "ofp", p.places)->source, "garrison.sav");
    // A stored folder that lost its game is dropped, and discovery runs.
    p.folder.write("prefix/drive_c/OFP/operationflashpoint.exe", "x");
    p.registry("[Software\\\\Codemasters\\\\Operation Flashpoint] 1\n\"MAIN\"=\"C:\\\\OFP\\\\\"\n");
    std::filesystem::remove(p.folder / "ofp/FlashpointResistance.exe");
    const auto found = checkGameFolderAtStart(p.folder / "ofp", p.places);
    ASSERT_TRUE(found);
    EXPECT_NE(found->source, "garrison.sav");

    EXPECT_EQ(decideAddonStart(true, "/g/", false), AddonStart::FirstScan);
    EXPECT_EQ(decideAddonStart(true, "/g/", true), AddonStart::Scan);
    EXPECT_EQ(decideAddonStart(false, "/g/", false), AddonStart::Listing);
    EXPECT_EQ(decideAddonStart(true, "", false), AddonStart::Nothing);
}

} // namespace
