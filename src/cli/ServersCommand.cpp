#include "cli/ServersCommand.h"

#include "cli/DatabaseLoading.h"
#include "cli/GameTextOption.h"
#include "cli/JsonText.h"
#include "common/GameCodePage.h"
#include "servers/CommandLineEntry.h"
#include "servers/SettingsFile.h"

#include <nlohmann/json.hpp>

#include <iostream>
#include <limits>
#include <optional>

namespace garrison::cli {

namespace {

struct ServersOptions {
    bool json = false;
    bool applyCommandLine = false;
    std::vector<std::string> words;
    // Editing: a new entry, or the entry of this index.
    bool add = false;
    int entry = -1;
    std::optional<std::string> name, address, password, startup, mods, executable, gameFolder;
    bool local = false, network = false, select = false;
    std::optional<bool> alwaysNoMap;

    bool edits() const { return add || entry >= 0 || gameFolder || alwaysNoMap; }
    bool entryFields() const
    {
        return name || address || password || startup || mods || executable || local || network || select;
    }
};

// False (with the reason) when the entry to edit does not exist.
bool applyEdits(const ServersOptions &options, Settings &settings)
{
    if (options.gameFolder) {
        std::string folder = *options.gameFolder;
        if (!folder.empty() && folder.back() != '/')
            folder += '/';
        settings.options.gameFolder = folder;
    }
    if (options.alwaysNoMap)
        settings.options.alwaysNoMap = *options.alwaysNoMap;
    if (!options.add && options.entry < 0)
        return true;
    if (options.add) {
        settings.servers.emplace_back();
    } else if (static_cast<std::size_t>(options.entry) >= settings.servers.size()) {
        std::cerr << "garrison-cli: no server entry " << options.entry << " (" << settings.servers.size()
                  << " entries)\n";
        return false;
    }
    const std::size_t index = options.add ? settings.servers.size() - 1 : static_cast<std::size_t>(options.entry);
    ServerEntry &entry = settings.servers[index];
    const auto set = [](std::string &field, const std::optional<std::string> &value) {
        if (value)
            field = *value;
    };
    set(entry.name, options.name);
    set(entry.address, options.address);
    set(entry.password, options.password);
    set(entry.startupParameters, options.startup);
    set(entry.manualMods, options.mods);
    set(entry.executable, options.executable);
    if (options.local || options.network)
        entry.local = options.local;
    if (options.add || options.select)
        settings.selectedIndex = static_cast<std::int32_t>(index);
    return true;
}

nlohmann::ordered_json settingsJson(const Settings &settings)
{
    nlohmann::ordered_json servers = nlohmann::ordered_json::array();
    for (const auto &e : settings.servers) {
        servers.push_back({
            {"address", gameTextToUtf8(e.address)},
            {"password", gameTextToUtf8(e.password)},
            {"name", gameTextToUtf8(e.name)},
            {"startup_parameters", gameTextToUtf8(e.startupParameters)},
            {"manual_mods", gameTextToUtf8(e.manualMods)},
            {"automatic_mods", gameTextToUtf8(e.automaticMods)},
            {"automatic_mod_selection", e.automaticModSelection},
            {"local", e.local},
            {"executable", gameTextToUtf8(e.executable)},
            {"load_server_mods", e.loadServerMods},
        });
    }
    const Options &o = settings.options;
    nlohmann::ordered_json executables = nlohmann::ordered_json::array();
    for (const auto &executable : o.executables)
        executables.push_back(gameTextToUtf8(executable));
    return {
        {"servers", servers},
        {"selected_index", settings.selectedIndex},
        {"options",
         {
             {"game_folder", gameTextToUtf8(o.gameFolder)},
             {"install_existing", o.installExisting},
             {"auto_addon_enabled", o.autoAddonEnabled},
             {"keep_running_after_launch", o.keepRunningAfterLaunch},
             {"minimise_to_tray", o.minimiseToTray},
             {"no_automatic_activation", o.noAutomaticActivation},
             {"executables", executables},
             {"window_left", o.windowLeft},
             {"window_top", o.windowTop},
             {"always_no_map", o.alwaysNoMap},
         }},
    };
}

// The JSON object read as indented "key: value" lines.
void printTree(const nlohmann::ordered_json &value, const std::string &indent)
{
    for (const auto &[key, item] : value.items()) {
        if (item.is_object() || (item.is_array() && !item.empty() && item.front().is_object())) {
            std::cout << indent << key << ":\n";
            printTree(item, indent + "  ");
        } else {
            std::cout << indent << key << ": " << (item.is_string() ? item.get<std::string>() : jsonText(item, -1))
                      << "\n";
        }
    }
}

int runServers(const ServersOptions &options)
{
    // Nothing typed is ever dropped without a word.
    if (options.entryFields() && !options.add && options.entry < 0) {
        std::cerr << "garrison-cli: the fields of an entry need --add or --entry N\n";
        return 2;
    }
    if (!options.words.empty() && !options.applyCommandLine) {
        std::cerr << "garrison-cli: the switches after -- need --apply-command-line\n";
        return 2;
    }
    auto read = loadSettings();
    if (!read)
        return 1;
    Settings &settings = *read;
    if (options.applyCommandLine) {
        if (!applyCommandLine(options.words, settings)) {
            std::cerr << "garrison-cli: the command line names no server (-connect=HOST)\n";
            return 2;
        }
    }
    if (options.edits() && !applyEdits(options, settings))
        return 2;
    if ((options.applyCommandLine || options.edits()) && !SettingsFile::save(settings)) {
        std::cerr << "garrison-cli: cannot write " << SettingsFile::kFileName << "\n";
        return 1;
    }
    if (options.json)
        std::cout << jsonText(settingsJson(settings)) << "\n";
    else
        printTree(settingsJson(settings), "");
    return 0;
}

} // namespace

void addServersCommand(CLI::App &app, int &exitCode)
{
    auto options = std::make_shared<ServersOptions>();
    auto *command = app.add_subcommand("servers", "Print the server list and options of garrison.sav in the "
                                                  "working directory");
    command->add_flag("--json", options->json, "print one JSON object");
    command->add_flag("--apply-command-line", options->applyCommandLine,
                      "apply the game switches after -- (-connect=, -port=, -password=, ...) and save");
    command->add_option("words", options->words, "the switches, after --")->transform(gameText());
    auto *add = command->add_flag("--add", options->add, "add an entry (and select it), with the fields below");
    auto *entry = command->add_option("--entry", options->entry, "edit the entry of this index")
                      ->check(CLI::Range(0, std::numeric_limits<int>::max()));
    add->excludes(entry);
    command->add_option("--name", options->name, "the entry's name")->transform(gameText());
    command->add_option("--address", options->address, "HOST[:PORT] of a network entry")->transform(gameText());
    command->add_option("--password", options->password, "the server's password")->transform(gameText());
    auto *local = command->add_flag("--local", options->local, "a local game, not a server");
    auto *network = command->add_flag("--network", options->network, "a network server");
    local->excludes(network);
    command->add_option("--startup", options->startup, "startup parameters put before Garrison's (-name=X ...)")
        ->transform(gameText());
    command->add_option("--mods", options->mods, "manual mod folders, separated by ;")->transform(gameText());
    command->add_option("--executable", options->executable, "the game executable (default: by the server's version)")
        ->transform(gameText());
    command->add_flag("--select", options->select, "make the entry the selected one");
    command->add_option("--game-folder", options->gameFolder, "set the game folder");
    command->add_option("--always-no-map", options->alwaysNoMap, "on or off: start the game with -nomap");
    command->callback([options, &exitCode] { exitCode = runServers(*options); });
}

} // namespace garrison::cli
