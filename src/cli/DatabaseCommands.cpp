#include "cli/DatabaseCommands.h"

#include "addondb/DatabaseFile.h"
#include "addondb/DatabaseWorker.h"
#include "addondb/FileTree.h"
#include "addondb/PayloadPacker.h"
#include "cli/DatabaseLoading.h"
#include "cli/JsonText.h"
#include "common/DisplayText.h"
#include "lang/LanguageLoader.h"
#include "platform/FileSystem.h"
#include "servers/GameFolder.h"
#include "servers/SettingsFile.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <iomanip>
#include <iostream>
#include <thread>
#include <unistd.h>

namespace garrison::cli {

namespace {

using Json = nlohmann::ordered_json;

struct DatabaseOptions {
    std::string gameFolder;
    std::string package;
    bool json = false;
};

Json packagesJson(const AddonDatabase &database)
{
    Json packages = Json::array();
    for (const auto &package : database.packages()) {
        const auto summary = summarize(package);
        packages.push_back({
            {"name", displayText(package.name)},
            {"state", static_cast<int>(summary.state)},
            {"state_text", displayText(packageStateText(summary.state, database.language()))},
            {"files", summary.files},
            {"folders", summary.folders},
            {"shared", summary.shared},
            {"size", summary.totalSize},
            {"size_text", displayText(packageSizeText(summary.totalSize, database.language()))},
            {"install_date", packageDateText(package.installDate)},
            {"comment", displayText(package.comment)},
        });
    }
    return packages;
}

void printPackages(const Json &packages)
{
    for (const auto &p : packages) {
        std::cout << std::left << std::setw(32) << p["name"].get<std::string>() << std::right << std::setw(7)
                  << p["files"].get<int>() << " files " << std::setw(5) << p["folders"].get<int>() << " folders "
                  << std::setw(14) << p["size_text"].get<std::string>() << "  " << p["state_text"].get<std::string>()
                  << "\n";
    }
}

Json derivedJson(const AddonDatabase &database)
{
    Json mods = Json::array();
    for (const auto *folder : database.modFolders())
        mods.push_back(displayText(folder->name()));
    Json executables = Json::array();
    for (const auto &name : database.executables())
        executables.push_back(displayText(name));
    return {{"mod_folders", mods},
            {"executables", executables},
            {"extra_executable", displayText(database.extraExecutable())}};
}

// Keeps folder as garrison.sav's game folder: whether it changed, nothing
// (said on stderr) when the file cannot be read or written.
std::optional<bool> keepGameFolder(const std::string &folder)
{
    auto settings = loadSettings();
    if (!settings)
        return std::nullopt;
    if (settings->options.gameFolder == folder)
        return false;
    settings->options.gameFolder = folder;
    if (!SettingsFile::save(*settings, SettingsFile::kFileName)) {
        std::cerr << "garrison-cli: cannot write " << SettingsFile::kFileName << "\n";
        return std::nullopt;
    }
    return true;
}

int runDiscover(const DatabaseOptions &options)
{
    const auto found = gameFolderOf(options.gameFolder);
    if (!found)
        return 1;
    const auto changed = keepGameFolder(found->folder);
    if (!changed)
        return 1;
    if (options.json) {
        std::cout << jsonText(Json{{"game_folder", found->folder}, {"source", found->source}, {"saved", *changed}})
                  << "\n";
    } else {
        std::cout << found->folder << "\n  found in " << found->source << (*changed ? "\n  kept in garrison.sav" : "")
                  << "\n";
    }
    return 0;
}

int runScan(const DatabaseOptions &options)
{
    const auto folder = gameFolderOf(options.gameFolder);
    if (!folder)
        return 1;
    // A folder given here is the one the next commands work on.
    if (!options.gameFolder.empty() && !keepGameFolder(folder->folder))
        return 1;
    const LanguageTable language = loadLanguageTable();
    AddonDatabase database(language);
    database.setGameFolder(folder->folder);
    const auto started = std::chrono::steady_clock::now();
    // Nothing changes the database between the scan and the save: most of it is packed while the scan goes on.
    PayloadPacker packer;
    DatabaseWorker worker(database);
    worker.packAhead(packer);
    worker.start();
    // A progress line only where someone watches it.
    const bool terminal = isatty(STDERR_FILENO);
    while (!worker.waitFor(std::chrono::milliseconds(200))) {
        if (terminal)
            std::cerr << "\rScanning " << std::left << std::setw(56) << database.progressText() << std::flush;
    }
    worker.join();
    if (terminal)
        std::cerr << "\r" << std::string(66, ' ') << "\r";
    for (const auto &note : worker.notes())
        std::cerr << "garrison-cli: " << displayText(note) << "\n";
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (!DatabaseFile::save(database, DatabaseFile::kFileName, DatabaseFile::kTemporaryName, &packer)) {
        std::cerr << "garrison-cli: cannot write " << DatabaseFile::kFileName << "\n";
        return 1;
    }
    const Json packages = packagesJson(database);
    const Json derived = derivedJson(database);
    if (options.json) {
        Json out = {{"game_folder", folder->folder},
                    {"seconds", seconds},
                    {"nodes", flatten(*database.root()).size()},
                    {"packages", packages}};
        out.update(derived);
        std::cout << jsonText(out) << "\n";
        return 0;
    }
    std::cout << "Scanned " << folder->folder << " in " << std::fixed << std::setprecision(2) << seconds << " s, "
              << flatten(*database.root()).size() << " files and folders\n\n";
    printPackages(packages);
    std::cout << "\nMod folders: " << jsonText(derived["mod_folders"], -1)
              << "\nExecutables by slot: " << jsonText(derived["executables"], -1) << "\n";
    return 0;
}

int runPackages(const DatabaseOptions &options)
{
    const LanguageTable language = loadLanguageTable();
    AddonDatabase database(language);
    if (!loadDatabase(database, options.gameFolder))
        return 1;
    const Json packages = packagesJson(database);
    if (options.json)
        std::cout << jsonText(packages) << "\n";
    else
        printPackages(packages);
    return 0;
}

int runFiles(const DatabaseOptions &options)
{
    const LanguageTable language = loadLanguageTable();
    AddonDatabase database(language);
    if (!loadDatabase(database, options.gameFolder))
        return 1;
    auto nodes =
        options.package.empty() ? std::optional(flatten(*database.root())) : packageNodes(database, options.package);
    if (!nodes)
        return 1;
    Json files = Json::array();
    for (const FileNode *node : *nodes) {
        Json packages = Json::array();
        for (const auto &package : database.packages()) {
            if (package.holds(node))
                packages.push_back(displayText(package.name));
        }
        files.push_back({{"path", displayText(node->relativePath())},
                         {"disk_name", displayText(node->diskName())},
                         {"status", displayText(node->statusText())},
                         {"folder", node->isFolder()},
                         {"size", node->size},
                         {"crc", node->crcText()},
                         {"packages", packages}});
    }
    if (options.json) {
        std::cout << jsonText(files) << "\n";
        return 0;
    }
    for (const auto &f : files) {
        std::cout << std::left << std::setw(48) << f["path"].get<std::string>() << std::setw(9)
                  << f["status"].get<std::string>() << std::right << std::setw(11) << f["size"].get<std::uint32_t>()
                  << "  " << f["crc"].get<std::string>() << "  " << jsonText(f["packages"], -1) << "\n";
    }
    return 0;
}

void addCommand(CLI::App &app, const char *name, const char *description, int &exitCode,
                int (*run)(const DatabaseOptions &), bool takesPackage)
{
    auto options = std::make_shared<DatabaseOptions>();
    auto *command = app.add_subcommand(name, description);
    command->add_option("--game-folder", options->gameFolder, "the game folder (default: from garrison.sav)");
    if (takesPackage)
        command->add_option("--package", options->package, "only the files of this package");
    command->add_flag("--json", options->json, "print JSON");
    command->callback([options, run, &exitCode] { exitCode = run(*options); });
}

} // namespace

void addDatabaseCommands(CLI::App &app, int &exitCode)
{
    addCommand(app, "discover", "Find the game folder (garrison.sav, the Wine registry, Steam) and keep it", exitCode,
               runDiscover, false);
    addCommand(app, "scan", "Scan the game folder into garrison.dat and sum up its packages", exitCode, runScan, false);
    addCommand(app, "packages", "List the packages of garrison.dat", exitCode, runPackages, false);
    addCommand(app, "files", "List the files of garrison.dat, or of one package", exitCode, runFiles, true);
}

} // namespace garrison::cli
