#include "cli/OfferedCommands.h"

#include "addondb/Activation.h"
#include "addondb/DatabaseFile.h"
#include "addondb/FileTree.h"
#include "addondb/ModRecommendation.h"
#include "addondb/OfferedBlock.h"
#include "autoaddon/OfferedModel.h"
#include "cli/DatabaseLoading.h"
#include "cli/GameTextOption.h"
#include "cli/JsonText.h"
#include "cli/SecondsOption.h"
#include "cli/ServerQuery.h"
#include "common/DisplayText.h"
#include "common/SizeText.h"
#include "common/TextCompare.h"
#include "lang/LanguageLoader.h"
#include "monitor/AddonServerText.h"
#include "servers/ModList.h"
#include "servers/SettingsFile.h"

#include <nlohmann/json.hpp>

#include <iostream>

namespace garrison::cli {

namespace {

using Json = nlohmann::ordered_json;

struct OfferedOptions {
    std::string address;
    std::string password;
    std::string gameFolder;
    double seconds = 8;
    bool json = false;
};

struct ActivationOptions {
    std::string package;
    std::vector<std::string> paths;
    std::string gameFolder;
};

Json packageJson(const OfferedPackage &package, const LanguageTable &language)
{
    Json files = Json::array();
    for (const auto &file : package.files) {
        if (file->isFolder())
            continue;
        files.push_back({{"path", displayText(file->relativePath())},
                         {"size", file->size},
                         {"crc", file->crcText()},
                         {"state", file->status == NodeStatus::Present    ? "installed"
                                   : file->status == NodeStatus::DiffPath ? "installed elsewhere"
                                                                          : "missing"}});
    }
    const OfferedRow row = offeredRow(package, language);
    return {{"name", displayText(package.name)},
            {"priority", package.priority},
            {"priority_text", displayText(row.priority)},
            {"status", static_cast<int>(package.status)},
            {"status_text", displayText(row.status)},
            {"zip_size", package.zipSize},
            {"url", displayText(package.url)},
            {"default_folder", displayText(row.defaultTo)},
            {"flagged", package.flagged},
            {"files", files}};
}

int runOffered(const OfferedOptions &options)
{
    const auto target = resolveAddressArgument(options.address, 0);
    if (!target)
        return 2;
    const LanguageTable language = loadLanguageTable();
    AddonDatabase database(language);
    if (!loadDatabase(database, options.gameFolder))
        return 1;
    if (!receiveOfferedList(database, *target, options.password, options.seconds))
        return 1;
    OfferedList &offered = database.offered();

    const auto read = loadSettings();
    if (!read)
        return 1;
    const Settings &settings = *read;
    std::vector<std::string> manual;
    if (settings.selectedIndex >= 0 && static_cast<std::size_t>(settings.selectedIndex) < settings.servers.size())
        manual = splitModList(settings.servers[static_cast<std::size_t>(settings.selectedIndex)].manualMods);

    Json packages = Json::array();
    for (const auto &package : offered.packages)
        packages.push_back(packageJson(package, language));
    Json deactivations = Json::array();
    for (const auto &entry : offered.deactivations)
        deactivations.push_back({{"name", displayText(entry.name)}, {"size", entry.size}, {"crc", crcText(entry.crc)}});
    const Json out = {
        {"server",
         {{"name", displayText(offered.serverTexts[0])},
          {"info", displayText(offered.serverTexts[1])},
          {"admin", displayText(offered.serverTexts[2])},
          {"comserver", displayText(offered.serverTexts[3])}}},
        {"deactivations", deactivations},
        {"packages", packages},
        {"planned_download_text", displayText(plannedDownloadText(plannedDownloadSize(offered), language))},
        {"recommended_mods", displayText(recommendMods(database, manual))},
    };
    if (options.json) {
        std::cout << jsonText(out) << "\n";
        return 0;
    }
    std::cout << "Server: " << out["server"]["name"].get<std::string>() << "\n\n";
    for (const auto &p : packages) {
        std::cout << (p["flagged"].get<bool>() ? "[x] " : "[ ] ") << p["name"].get<std::string>() << "  ("
                  << p["priority_text"].get<std::string>() << ", " << p["status_text"].get<std::string>() << ", "
                  << p["zip_size"].get<std::uint32_t>() << " bytes)\n";
    }
    std::cout << "\n"
              << out["planned_download_text"].get<std::string>()
              << "\nRecommended mods: " << out["recommended_mods"].get<std::string>() << "\n";
    return 0;
}

int runActivation(const ActivationOptions &options, bool activate)
{
    const LanguageTable language = loadLanguageTable();
    AddonDatabase database(language);
    if (!loadDatabase(database, options.gameFolder))
        return 1;
    std::vector<FileNode *> nodes;
    if (!options.package.empty()) {
        auto packaged = packageNodes(database, options.package);
        if (!packaged)
            return 1;
        nodes = std::move(*packaged);
    }
    const auto all = flatten(*database.root());
    for (const auto &path : options.paths) {
        const auto before = nodes.size();
        for (FileNode *node : all) {
            if (!node->isFolder() && equalsNoCase(node->relativePath(), path))
                nodes.push_back(node);
        }
        if (nodes.size() == before) {
            std::cerr << "garrison-cli: no file \"" << path << "\" in the database\n";
            return 1;
        }
    }
    Activation activation(database);
    for (FileNode *node : nodes) {
        if (activate)
            activation.activate(*node);
        else
            activation.deactivate(*node);
        if (!node->isFolder())
            std::cout << displayText(node->relativePath()) << "  "
                      << (node->statusText()[0] ? node->statusText() : "Active") << "  ("
                      << displayText(node->diskName()) << ")\n";
    }
    if (!DatabaseFile::save(database)) {
        std::cerr << "garrison-cli: cannot write " << DatabaseFile::kFileName << "\n";
        return 1;
    }
    return 0;
}

void addActivationCommand(CLI::App &app, const char *name, const char *description, int &exitCode, bool activate)
{
    auto options = std::make_shared<ActivationOptions>();
    auto *command = app.add_subcommand(name, description);
    command->add_option("--package", options->package, "every file of this package");
    command->add_option("path", options->paths, "files by their path in the game folder, as addons\\x.pbo");
    command->add_option("--game-folder", options->gameFolder, "the game folder (default: from garrison.sav)");
    command->callback([options, activate, command, &exitCode] {
        if (options->package.empty() && options->paths.empty())
            throw CLI::ValidationError(command->get_name(), "give --package NAME or the paths of files");
        exitCode = runActivation(*options, activate);
    });
}

} // namespace

void addOfferedCommands(CLI::App &app, int &exitCode)
{
    auto options = std::make_shared<OfferedOptions>();
    auto *command = app.add_subcommand(
        "offered", "What the Auto-Addon server of a game server offers, against the database of this folder");
    command->add_option("address", options->address, "HOST[:PORT] of the game server")->required();
    command->add_option("--password", options->password, "the server's password")->transform(gameText());
    command->add_option("--game-folder", options->gameFolder, "the game folder (default: from garrison.sav)");
    command->add_option("--seconds", options->seconds, "how long to wait for the list")
        ->check(waitSeconds())
        ->capture_default_str();
    command->add_flag("--json", options->json, "print JSON");
    command->callback([options, &exitCode] { exitCode = runOffered(*options); });
    addActivationCommand(app, "activate", "Switch files on (rename them to their own names) and save", exitCode, true);
    addActivationCommand(app, "deactivate", "Switch files off (rename them to their inactive names) and save", exitCode,
                         false);
}

} // namespace garrison::cli
