#include "cli/LaunchCommand.h"

#include "addondb/DatabaseFile.h"
#include "addondb/OfferedBlock.h"
#include "autoaddon/OfferedModel.h"
#include "cli/AddressArgument.h"
#include "cli/CliLaunchView.h"
#include "cli/DatabaseLoading.h"
#include "cli/SecondsOption.h"
#include "cli/ServerQuery.h"
#include "common/DisplayText.h"
#include "lang/LanguageLoader.h"
#include "platform/FileSystem.h"
#include "servers/SettingsFile.h"

#include <iostream>
#include <limits>

namespace garrison::cli {

namespace {

struct LaunchOptions {
    int entry = -1;
    bool dryRun = false;
    bool acceptServerMods = false;
    bool keepMyMods = false;
    bool connectAnyway = false;
    std::string gameFolder;
    double seconds = 6;
};

// The server's status and, when its Auto-Addon server sent one, its package
// list evaluated against the database. False when the server never answered.
bool queryEntry(const ServerEntry &entry, double seconds, ServerStatus &status, AddonDatabase *database)
{
    const auto target = resolveAddressArgument(entry.address, 0);
    if (!target)
        return false;
    const QueryResult query = queryServer(*target, entry.password, seconds);
    status = query.record;
    if (status.implementation == Implementation::Unknown) {
        std::cerr << "garrison-cli: " << displayText(entry.address) << " did not answer; nothing started\n";
        return false;
    }
    if (database && query.offeredList) {
        parseOfferedBlock(*query.offeredList, database->offered());
        evaluateArrivedList(database->offered(), *database);
    }
    return true;
}

int runLaunch(const LaunchOptions &options)
{
    auto read = loadSettings();
    if (!read)
        return 1;
    Settings &settings = *read;
    const int index = options.entry >= 0 ? options.entry : settings.selectedIndex;
    if (index < 0 || static_cast<std::size_t>(index) >= settings.servers.size()) {
        std::cerr << "garrison-cli: no server entry " << index << " in " << SettingsFile::kFileName << " ("
                  << settings.servers.size() << " entries; --entry N chooses one)\n";
        return 2;
    }
    ServerEntry &entry = settings.servers[static_cast<std::size_t>(index)];
    const auto folder = gameFolderOf(options.gameFolder);
    if (!folder)
        return 1;
    settings.options.gameFolder = folder->folder;

    const LanguageTable language = loadLanguageTable();
    AddonDatabase database(language);
    database.setGameFolder(folder->folder);
    // Without a database (Auto-Addon off, or never scanned) only the top-level folders count.
    const bool ready = settings.options.autoAddonEnabled && pathExists(DatabaseFile::kFileName) &&
                       loadDatabase(database, options.gameFolder);
    if (!ready)
        database.useListing();

    ServerStatus status;
    if (!entry.local && !queryEntry(entry, options.seconds, status, ready ? &database : nullptr))
        return 1;

    CliLaunchView::Choices choices;
    choices.equalMods = options.acceptServerMods ? CliLaunchView::EqualMods::Accept
                        : options.keepMyMods     ? CliLaunchView::EqualMods::Keep
                                                 : CliLaunchView::EqualMods::Ask;
    choices.connectAnyway = options.connectAnyway;
    choices.dryRun = options.dryRun;
    CliLaunchView view(choices, GameRunner::load(), language);
    LaunchSituation situation;
    situation.entry = &entry;
    situation.options = &settings.options;
    situation.status = &status;
    situation.database = ready ? &database : nullptr;
    situation.databaseReady = ready;
    situation.activate = !options.dryRun;
    situation.listedFolders = database.extraFolders();
    playNow(situation, view);

    if (!options.dryRun && view.changedSettings() && !SettingsFile::save(settings))
        std::cerr << "garrison-cli: cannot write " << SettingsFile::kFileName << "\n";
    if (!options.dryRun && ready && view.started() && !DatabaseFile::save(database))
        std::cerr << "garrison-cli: cannot write " << DatabaseFile::kFileName << "\n";
    if (!view.started() && !view.failed())
        std::cerr << "garrison-cli: nothing started\n";
    return view.started() && !view.failed() ? 0 : 1;
}

} // namespace

void addLaunchCommand(CLI::App &app, int &exitCode)
{
    auto options = std::make_shared<LaunchOptions>();
    auto *command =
        app.add_subcommand("launch", "Start the game onto a server entry of garrison.sav, as Play now does");
    command->add_option("--entry", options->entry, "the entry's index (default: the selected one)")
        ->check(CLI::Range(0, std::numeric_limits<int>::max()));
    command->add_flag("--dry-run", options->dryRun,
                      "print the command line, the executable, the arguments and the working folder; start nothing");
    auto *accept = command->add_flag("--accept-server-mods", options->acceptServerMods,
                                     "when the server requires equal mods: load the server's mods");
    auto *keep =
        command->add_flag("--keep-my-mods", options->keepMyMods, "when the server requires equal mods: keep yours");
    accept->excludes(keep);
    command->add_flag("--connect-anyway", options->connectAnyway,
                      "start even when packages the server needs are missing");
    command->add_option("--game-folder", options->gameFolder, "the game folder (default: from garrison.sav)");
    command->add_option("--seconds", options->seconds, "how long to wait for the server")
        ->check(waitSeconds())
        ->capture_default_str();
    command->callback([options, &exitCode] { exitCode = runLaunch(*options); });
}

} // namespace garrison::cli
