#include "servers/SettingsFile.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace garrison;

namespace {

// Builds a settings file by hand, field by field.
struct Bytes {
    std::vector<std::uint8_t> data;
    Bytes &byte(std::uint8_t v)
    {
        data.push_back(v);
        return *this;
    }
    Bytes &u32(std::uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            data.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
        return *this;
    }
    Bytes &text(const std::string &t)
    {
        data.insert(data.end(), t.begin(), t.end());
        data.push_back(0);
        return *this;
    }
};

Settings fullSettings()
{
    Settings s;
    s.servers.push_back(
        {"10.0.0.1:2302", "pw", "First", "-nomap", "@a;@b", "@c", false, true, "FLASHPOINTBETA.EXE", true});
    s.servers.push_back({"host", "", "", "", "", "", true, false, "", false});
    s.selectedIndex = 1;
    s.options.gameFolder = "/games/ofp\\";
    s.options.installExisting = false;
    s.options.autoAddonEnabled = false;
    s.options.keepRunningAfterLaunch = false;
    s.options.minimiseToTray = false;
    s.options.noAutomaticActivation = true;
    for (std::size_t i = 0; i < s.options.executables.size(); ++i)
        s.options.executables[i] = "exe" + std::to_string(i);
    s.options.windowLeft = 120;
    s.options.windowTop = -40;
    s.options.alwaysNoMap = true;
    return s;
}

TEST(SettingsFile, WritesVersionNineByteForByte)
{
    Settings s;
    ServerEntry entry;
    entry.address = "a";
    entry.name = "n";
    s.servers.push_back(entry);
    s.options.gameFolder = "g\\";
    Bytes expected;
    expected.byte(0).u32(9).u32(1);
    expected.text("a").text("").text("n").text("").text("").text("").byte(1).byte(0).text("").byte(0);
    expected.u32(0xFFFFFFFF).text("g\\").byte(1).byte(1).byte(1).byte(1).byte(0);
    for (int i = 0; i < 10; ++i)
        expected.text("");
    expected.u32(0xFFFFFFFF).u32(0xFFFFFFFF).byte(0);
    EXPECT_EQ(SettingsFile::encode(s), expected.data);
}

TEST(SettingsFile, EveryFieldSurvivesARoundTrip)
{
    const Settings s = fullSettings();
    EXPECT_EQ(SettingsFile::decode(SettingsFile::encode(s)), s);
    const Settings empty;
    const Settings back = SettingsFile::decode(SettingsFile::encode(empty));
    EXPECT_TRUE(back.servers.empty());
    EXPECT_EQ(back.selectedIndex, -1);
    EXPECT_EQ(back, empty);
}

TEST(SettingsFile, VersionThreeTakesManualModsOutOfTheStartupParameters)
{
    Bytes file;
    file.byte(0).u32(3).u32(1).text("1.2.3.4:2302").text("").text("Name").text("-nomap -mod=abc;def -name=John");
    file.byte(0); // automatic mod selection
    file.u32(0).text("C:\\OFP\\").byte(0);
    const Settings s = SettingsFile::decode(file.data);
    ASSERT_EQ(s.servers.size(), 1u);
    EXPECT_EQ(s.servers[0].manualMods, "abc;def");
    EXPECT_EQ(s.servers[0].startupParameters, "-nomap \"-name=John\"");
    EXPECT_FALSE(s.servers[0].automaticModSelection);
    EXPECT_EQ(s.selectedIndex, 0);
    EXPECT_EQ(s.options.gameFolder, "C:\\OFP\\");
    EXPECT_FALSE(s.options.installExisting);
    EXPECT_TRUE(s.options.autoAddonEnabled); // not in version 3: default
}

TEST(SettingsFile, OlderVersionsReadOnlyTheirFields)
{
    // Version 2 stores the automatic mod selection but reads it as true.
    Bytes v2;
    v2.byte(0).u32(2).u32(1).text("a").text("").text("a").text("-x").byte(0).u32(5).text("f\\");
    Settings s = SettingsFile::decode(v2.data);
    ASSERT_EQ(s.servers.size(), 1u);
    EXPECT_TRUE(s.servers[0].automaticModSelection);
    EXPECT_EQ(s.selectedIndex, 5);
    EXPECT_EQ(s.options.gameFolder, "f\\");

    // Version 1 has neither the selection byte nor later options.
    Bytes v1;
    v1.byte(0).u32(1).u32(1).text("a").text("p").text("n").text("-mod=m").u32(0).text("f\\");
    s = SettingsFile::decode(v1.data);
    EXPECT_EQ(s.servers.at(0).manualMods, "m");
    EXPECT_EQ(s.servers[0].password, "p");
    EXPECT_EQ(s.options.gameFolder, "f\\");

    // Version 7: executables but no window position or no-map flag.
    Bytes v7;
    v7.byte(0).u32(7).u32(0).u32(0xFFFFFFFF).text("f\\").byte(1).byte(0).byte(1).byte(1).byte(1);
    for (int i = 0; i < 10; ++i)
        v7.text("e" + std::to_string(i));
    v7.u32(50).u32(60).byte(1); // bytes a version 7 file does not have are not read
    s = SettingsFile::decode(v7.data);
    EXPECT_FALSE(s.options.autoAddonEnabled);
    EXPECT_TRUE(s.options.noAutomaticActivation);
    EXPECT_EQ(s.options.executables[9], "e9");
    EXPECT_EQ(s.options.windowLeft, -1);
    EXPECT_FALSE(s.options.alwaysNoMap);
}

TEST(SettingsFile, FilesItMustNotReadGiveTheDefaults)
{
    const Bytes cases[] = {
        Bytes{}.byte(1).u32(9).u32(0),            // first byte not 0
        Bytes{}.byte(0).u32(10).u32(1).text("a"), // a newer version
        Bytes{}, Bytes{}.byte(0).byte(9),         // version cut short
    };
    for (const auto &c : cases)
        EXPECT_EQ(SettingsFile::decode(c.data), Settings{});
}

TEST(SettingsFile, ATruncatedFileKeepsWhatWasReadAndDefaultsTheRest)
{
    const Settings full = fullSettings();
    const auto bytes = SettingsFile::encode(full);
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        const Settings s = SettingsFile::decode(std::span(bytes.data(), length));
        // The last byte (always no map) is never there, so it keeps its default.
        EXPECT_FALSE(s.options.alwaysNoMap) << length;
        EXPECT_LE(s.servers.size(), 2u);
    }
    // Cut inside the second entry's address (9 bytes of header, 61 of the
    // first entry): the first entry is whole, the second has what arrived.
    const Settings cut = SettingsFile::decode(std::span(bytes.data(), 9 + 61 + 3));
    ASSERT_EQ(cut.servers.size(), 2u);
    EXPECT_EQ(cut.servers[0], full.servers[0]);
    EXPECT_EQ(cut.servers[1].address, "hos");
    EXPECT_TRUE(cut.servers[1].automaticModSelection);
    EXPECT_TRUE(cut.options.autoAddonEnabled);
    EXPECT_EQ(cut.selectedIndex, -1);
}

TEST(SettingsFile, AHugeEntryCountEndsWithTheData)
{
    Bytes file;
    file.byte(0).u32(9).u32(0xFFFFFFFF).text("a").text("").text("a").text("").text("").text("");
    const Settings s = SettingsFile::decode(file.data);
    EXPECT_EQ(s.servers.size(), 1u);
}

TEST(SettingsFile, SaveReplacesTheFileAndLeavesNoTemporary)
{
    test::TempFolder folder;
    const auto path = folder / "garrison.sav";
    folder.write("garrison.sav", "old");
    ASSERT_TRUE(SettingsFile::save(fullSettings(), path));
    EXPECT_EQ(SettingsFile::read(path).settings, fullSettings());
    EXPECT_FALSE(std::filesystem::exists(path + ".new"));
    EXPECT_EQ(SettingsFile::read(folder / "missing.sav").settings, Settings{});
}

// The list holds passwords: a save never makes it readable by others, and a
// list kept elsewhere through a link stays there.
TEST(SettingsFile, SaveKeepsPermissionsAndLinks)
{
    namespace fs = std::filesystem;
    test::TempFolder folder;
    const auto path = folder / "garrison.sav";
    ASSERT_TRUE(SettingsFile::save(fullSettings(), path));
    EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_read | fs::perms::owner_write) << "a new list";
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(SettingsFile::save(fullSettings(), path));
    EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    const auto kept = folder / "dotfiles/garrison.sav";
    folder.write("dotfiles/garrison.sav", "");
    fs::remove(path);
    fs::create_symlink(kept, path);
    ASSERT_TRUE(SettingsFile::save(fullSettings(), path));
    EXPECT_TRUE(fs::is_symlink(path));
    EXPECT_EQ(SettingsFile::read(kept).settings, fullSettings());
    EXPECT_FALSE(fs::exists(folder / "dotfiles/garrison.sav.new"));
}

// What cannot be read is said, and nothing of it is taken for a list.
TEST(SettingsFile, AListThisProgramCannotReadIsNamedNotEmptied)
{
    test::TempFolder folder;
    const struct {
        std::string bytes;
        const char *problem;
    } cases[] = {
        {std::string("\x01\x09\0\0\0", 5), "it is no Garrison server list"},
        {std::string("\0\x0c\0\0\0\x01\0\0\0", 9),
         "it was written by a newer Garrison (format 12; this one reads 1 to 9)"},
        {"", ""},
    };
    for (const auto &c : cases) {
        folder.write("garrison.sav", c.bytes);
        const auto read = SettingsFile::read(folder / "garrison.sav");
        EXPECT_EQ(read.problem, c.problem);
        EXPECT_EQ(read.settings, Settings{});
    }
    EXPECT_EQ(SettingsFile::read(folder / "missing.sav").problem, "");
    EXPECT_EQ(SettingsFile::read(folder.path()).problem, "Is a directory");
}

TEST(SettingsFile, AFailedSaveLeavesTheOldFileWhole)
{
    test::TempFolder folder;
    const auto path = folder / "garrison.sav";
    ASSERT_TRUE(SettingsFile::save(fullSettings(), path));
    // The temporary name is taken by a folder: the new file cannot be written.
    std::filesystem::create_directory(path + ".new");
    Settings other;
    other.options.gameFolder = "other\\";
    EXPECT_FALSE(SettingsFile::save(other, path));
    EXPECT_EQ(SettingsFile::read(path).settings, fullSettings());
    EXPECT_FALSE(SettingsFile::save(other, folder / "no/such/folder/garrison.sav"));
}

TEST(SettingsFile, SaveFailsOnAFullDevice)
{
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full here";
    test::TempFolder folder;
    // A symbolic link as the temporary name sends the write to the full device.
    std::filesystem::create_symlink("/dev/full", folder / "garrison.sav.new");
    folder.write("garrison.sav", "old list");
    EXPECT_FALSE(SettingsFile::save(fullSettings(), folder / "garrison.sav"));
    EXPECT_EQ(folder.read("garrison.sav"), "old list");
}

} // namespace
