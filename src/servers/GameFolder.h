#pragma once

#include <optional>
#include <string>
#include <vector>

namespace garrison {

// Where discovery looks: the Wine prefix (WINEPREFIX, else ~/.wine) and the
// home folder for the Steam libraries. Tests point both at fixtures.
struct DiscoveryPlaces {
    std::string winePrefix;
    std::string home;

    // configuredPrefix: wine_prefix of garrison-linux.conf, which comes
    // before WINEPREFIX, as it does for the launch. Without HOME the
    // password database names the home folder.
    static DiscoveryPlaces fromEnvironment(const std::string &configuredPrefix = {});
};

struct FoundGameFolder {
    std::string folder; // native, ending in "/"
    std::string source; // where it was found, for the user
};

// A game folder holds one of the game's executables (ignoring case): the
// three retail ones, or "ColdWarAssault.exe" of the Steam and GOG edition.
bool isGameFolder(const std::string &folder);

// The registry of the Wine prefix (the retail keys, then the Steam/GOG
// edition's, each also under Wow6432Node), then the Steam libraries.
std::optional<FoundGameFolder> discoverGameFolder(const DiscoveryPlaces &places);

// At start: the stored folder if it still is a game folder, else what
// discovery finds. Nothing means the user has to say where the game is.
std::optional<FoundGameFolder> checkGameFolderAtStart(const std::string &stored, const DiscoveryPlaces &places);

// What starts after the game folder is known: the database worker (with the
// first-run message while there is no database file yet), or, without
// Auto-Addon, only the list of the game folder's top-level folders.
enum class AddonStart { Scan, FirstScan, Listing, Nothing };
AddonStart decideAddonStart(bool autoAddonEnabled, const std::string &gameFolder, bool databaseFileExists);

// A Windows path of the prefix ("C:\Games\OFP\") as a native one, each part
// spelt as on disk; nothing when the drive is not mapped.
std::optional<std::string> nativeFromWindowsPath(const std::string &winePrefix, const std::string &windowsPath);

// A native path as the programs of the prefix see it ("C:\Games\OFP\"):
// through the drive whose target holds it most closely, else "Z:", which
// Wine maps to "/".
std::string windowsFromNativePath(const std::string &winePrefix, const std::string &nativePath);

// The Steam library folders listed under the usual Steam roots of home.
std::vector<std::string> steamLibraries(const std::string &home);

} // namespace garrison
