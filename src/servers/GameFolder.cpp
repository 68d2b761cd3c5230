#include "servers/GameFolder.h"

#include "platform/DirectoryListing.h"
#include "platform/FileSystem.h"
#include "platform/NativePath.h"
#include "platform/WholeFile.h"
#include "servers/WineRegistry.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <unistd.h>

namespace garrison {

namespace {

constexpr const char *kGameExecutables[] = {"OPERATIONFLASHPOINT.EXE", "FLASHPOINTRESISTANCE.EXE", "rb.EXE",
                                            "ColdWarAssault.exe"};

struct RegistryLocation {
    const char *key;
    const char *product;
};

constexpr RegistryLocation kRegistryLocations[] = {
    {"Codemasters\\Operation Flashpoint", "Operation Flashpoint"},
    {"Codemasters\\Flashpoint Resistance", "Flashpoint Resistance"},
    {"BIS\\VBS1", "VBS1"},
    {"Bohemia Interactive Studio\\ColdWarAssault", "Cold War Assault"},
};

constexpr const char *kSteamRoots[] = {".steam/steam", ".steam/root", ".local/share/Steam",
                                       ".var/app/com.valvesoftware.Steam/.local/share/Steam"};
constexpr const char *kSteamGameFolder = "steamapps/common/ARMA Cold War Assault/";

std::string withSlash(std::string folder)
{
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

// The quoted strings of a Valve key-value file, in order.
std::vector<std::string> vdfStrings(std::string_view text)
{
    std::vector<std::string> strings;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] != '"')
            continue;
        std::string value;
        for (++at; at < text.size() && text[at] != '"'; ++at) {
            if (text[at] == '\\' && at + 1 < text.size())
                ++at;
            value += text[at];
        }
        strings.push_back(std::move(value));
    }
    return strings;
}

bool allDigits(const std::string &text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

} // namespace

DiscoveryPlaces DiscoveryPlaces::fromEnvironment(const std::string &configuredPrefix)
{
    const char *home = std::getenv("HOME");
    const char *prefix = std::getenv("WINEPREFIX");
    DiscoveryPlaces places;
    places.home = home && *home ? home : "";
    if (places.home.empty()) {
        if (const passwd *user = getpwuid(getuid()); user && user->pw_dir)
            places.home = user->pw_dir;
    }
    if (!configuredPrefix.empty())
        places.winePrefix = configuredPrefix;
    else
        places.winePrefix = prefix && *prefix ? prefix : places.home + "/.wine";
    return places;
}

bool isGameFolder(const std::string &folder)
{
    if (folder.empty())
        return false;
    for (const char *executable : kGameExecutables) {
        const auto found = findEntryIgnoringCase(withSlash(folder), executable);
        if (found && !entryInfo(withSlash(folder) + *found).value_or(EntryInfo{}).folder)
            return true;
    }
    return false;
}

std::optional<std::string> nativeFromWindowsPath(const std::string &winePrefix, const std::string &windowsPath)
{
    if (windowsPath.size() < 2 || windowsPath[1] != ':' || !std::isalpha(static_cast<unsigned char>(windowsPath[0])))
        return std::nullopt;
    const std::string drive = withSlash(winePrefix) + "dosdevices/" +
                              static_cast<char>(std::tolower(static_cast<unsigned char>(windowsPath[0]))) + ":/";
    if (!pathExists(drive))
        return std::nullopt;
    std::string relative = windowsPath.substr(2);
    while (!relative.empty() && relative.front() == '\\')
        relative.erase(0, 1);
    return nativePath(drive, relative);
}

std::string windowsFromNativePath(const std::string &winePrefix, const std::string &nativePath)
{
    std::error_code error;
    std::string bare = nativePath;
    while (bare.size() > 1 && bare.back() == '/')
        bare.pop_back();
    std::string path = std::filesystem::weakly_canonical(bare, error).string();
    if (error)
        path = bare;
    if (nativePath.ends_with('/') && !path.ends_with('/'))
        path += '/';
    std::string drive = "z:";
    std::string rest = path;
    std::size_t longest = 0;
    for (char letter = 'a'; letter <= 'z'; ++letter) {
        const std::string device = withSlash(winePrefix) + "dosdevices/" + letter + ":";
        std::string target = std::filesystem::canonical(device, error).string();
        if (error || target.empty())
            continue;
        target = withSlash(target);
        if (target.size() > longest && withSlash(path).starts_with(target)) {
            longest = target.size();
            drive = std::string(1, letter) + ":";
            rest = "/" + path.substr(std::min(target.size(), path.size()));
        }
    }
    drive[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(drive[0])));
    std::replace(rest.begin(), rest.end(), '/', '\\');
    return drive + rest;
}

std::vector<std::string> steamLibraries(const std::string &home)
{
    std::vector<std::string> libraries;
    const auto add = [&](std::string folder) {
        folder = withSlash(std::move(folder));
        if (std::find(libraries.begin(), libraries.end(), folder) == libraries.end())
            libraries.push_back(folder);
    };
    for (const char *root : kSteamRoots) {
        const std::string rootFolder = withSlash(home) + root + "/";
        if (!pathExists(rootFolder))
            continue;
        add(rootFolder);
        const auto vdf = readWholeFile(rootFolder + "steamapps/libraryfolders.vdf");
        if (!vdf)
            continue;
        const auto strings = vdfStrings(std::string_view(reinterpret_cast<const char *>(vdf->data()), vdf->size()));
        // "path" "/x" in the current form, "1" "/x" in the old one.
        for (std::size_t i = 0; i + 1 < strings.size(); ++i) {
            const bool pathKey = strings[i] == "path" || (allDigits(strings[i]) && strings[i + 1].starts_with("/"));
            if (pathKey && strings[i + 1].starts_with("/"))
                add(strings[i + 1]);
        }
    }
    return libraries;
}

std::optional<FoundGameFolder> discoverGameFolder(const DiscoveryPlaces &places)
{
    const auto registry = WineRegistry::load(withSlash(places.winePrefix) + "system.reg");
    if (registry) {
        for (const auto &location : kRegistryLocations) {
            for (const char *hive : {"Software\\", "Software\\Wow6432Node\\"}) {
                const std::string key = std::string(hive) + location.key;
                auto folder = registry->value(key, "MAIN");
                if (!folder)
                    continue;
                if (folder->empty() || folder->back() != '\\')
                    *folder += '\\';
                const auto native = nativeFromWindowsPath(places.winePrefix, *folder);
                if (native && isGameFolder(*native))
                    return FoundGameFolder{withSlash(*native), "Wine registry " + key + " in " + places.winePrefix};
            }
        }
    }
    for (const auto &library : steamLibraries(places.home)) {
        const std::string folder = library + kSteamGameFolder;
        if (isGameFolder(folder))
            return FoundGameFolder{folder, "Steam library " + library};
    }
    return std::nullopt;
}

std::optional<FoundGameFolder> checkGameFolderAtStart(const std::string &stored, const DiscoveryPlaces &places)
{
    if (isGameFolder(stored))
        return FoundGameFolder{withSlash(stored), "garrison.sav"};
    return discoverGameFolder(places);
}

AddonStart decideAddonStart(bool autoAddonEnabled, const std::string &gameFolder, bool databaseFileExists)
{
    if (gameFolder.empty())
        return AddonStart::Nothing;
    if (!autoAddonEnabled)
        return AddonStart::Listing;
    return databaseFileExists ? AddonStart::Scan : AddonStart::FirstScan;
}

} // namespace garrison
