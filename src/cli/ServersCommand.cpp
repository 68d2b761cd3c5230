#include "cli/ServersCommand.h"

#include "common/Windows1252.h"
#include "servers/CommandLineEntry.h"
#include "servers/SettingsFile.h"

#include <nlohmann/json.hpp>

#include <iostream>

namespace garrison::cli {

namespace {

struct ServersOptions {
    bool json = false;
    bool applyCommandLine = false;
    std::vector<std::string> words;
};

nlohmann::ordered_json settingsJson(const Settings &settings)
{
    nlohmann::ordered_json servers = nlohmann::ordered_json::array();
    for (const auto &e : settings.servers) {
        servers.push_back({
            {"address", windows1252ToUtf8(e.address)},
            {"password", windows1252ToUtf8(e.password)},
            {"name", windows1252ToUtf8(e.name)},
            {"startup_parameters", windows1252ToUtf8(e.startupParameters)},
            {"manual_mods", windows1252ToUtf8(e.manualMods)},
            {"automatic_mods", windows1252ToUtf8(e.automaticMods)},
            {"automatic_mod_selection", e.automaticModSelection},
            {"local", e.local},
            {"executable", windows1252ToUtf8(e.executable)},
            {"load_server_mods", e.loadServerMods},
        });
    }
    const Options &o = settings.options;
    nlohmann::ordered_json executables = nlohmann::ordered_json::array();
    for (const auto &executable : o.executables)
        executables.push_back(windows1252ToUtf8(executable));
    return {
        {"servers", servers},
        {"selected_index", settings.selectedIndex},
        {"options",
         {
             {"game_folder", windows1252ToUtf8(o.gameFolder)},
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
            std::cout << indent << key << ": " << (item.is_string() ? item.get<std::string>() : item.dump()) << "\n";
        }
    }
}

int runServers(const ServersOptions &options)
{
    Settings settings = SettingsFile::load();
    if (options.applyCommandLine) {
        if (!applyCommandLine(options.words, settings)) {
            std::cerr << "garrison-cli: the command line names no server (-connect=HOST)\n";
            return 2;
        }
        if (!SettingsFile::save(settings)) {
            std::cerr << "garrison-cli: cannot write " << SettingsFile::kFileName << "\n";
            return 1;
        }
    }
    if (options.json)
        std::cout << settingsJson(settings).dump(2) << "\n";
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
    command->add_option("words", options->words, "the switches, after --");
    command->callback([options, &exitCode] { exitCode = runServers(*options); });
}

} // namespace garrison::cli
