#include "cli/DatabaseLoading.h"

#include "addondb/DatabaseFile.h"
#include "addondb/JournalRecovery.h"
#include "common/DisplayText.h"
#include "servers/LinuxSettings.h"
#include "servers/SettingsFile.h"

#include <filesystem>
#include <iostream>

namespace garrison::cli {

std::optional<Settings> loadSettings()
{
    auto read = SettingsFile::read(SettingsFile::kFileName);
    if (read.problem.empty())
        return std::move(read.settings);
    std::cerr << "garrison-cli: " << SettingsFile::kFileName << " cannot be read (" << read.problem
              << "); it is left as it is\n";
    return std::nullopt;
}

// The game folder of garrison.sav, checked; discovered when it is no game folder.
std::optional<FoundGameFolder> gameFolderOf(const std::string &given)
{
    if (!given.empty()) {
        std::string folder = std::filesystem::absolute(given).lexically_normal().string();
        if (folder.back() != '/')
            folder += '/';
        if (isGameFolder(folder))
            return FoundGameFolder{folder, "--game-folder"};
        std::cerr << "garrison-cli: no game executable in \"" << given << "\"\n";
        return std::nullopt;
    }
    const auto settings = loadSettings();
    if (!settings)
        return std::nullopt;
    const LinuxSettings linuxSettings = LinuxSettings::load();
    auto found = checkGameFolderAtStart(settings->options.gameFolder,
                                        DiscoveryPlaces::fromEnvironment(linuxSettings.winePrefix));
    if (!found)
        std::cerr << "garrison-cli: game folder not found (give --game-folder, or set it in garrison.sav)\n";
    return found;
}

// Loads garrison.dat for the game folder; false (with a message) without one.
bool loadDatabase(AddonDatabase &database, const std::string &gameFolderOption)
{
    const auto folder = gameFolderOf(gameFolderOption);
    if (!folder)
        return false;
    database.setGameFolder(folder->folder);
    if (!DatabaseFile::load(database)) {
        std::cerr << "garrison-cli: no readable " << DatabaseFile::kFileName
                  << " here; run garrison-cli scan first (it keeps a damaged one aside)\n";
        return false;
    }
    for (const auto &note : openChangeJournal(database, DatabaseFile::kFileName))
        std::cerr << "garrison-cli: " << displayText(note) << "\n";
    database.derive();
    return true;
}

std::optional<std::vector<FileNode *>> packageNodes(const AddonDatabase &database, const std::string &name)
{
    const int index = database.packageIndex(name);
    if (index < 0) {
        std::cerr << "garrison-cli: no package named \"" << name << "\"\n";
        return std::nullopt;
    }
    std::vector<FileNode *> nodes;
    for (const auto &node : database.packages()[static_cast<std::size_t>(index)].files)
        nodes.push_back(node.get());
    return nodes;
}

} // namespace garrison::cli
