#include "cli/CentralCommands.h"
#include "cli/DatabaseCommands.h"
#include "cli/DownloadCommand.h"
#include "cli/InstallCommand.h"
#include "cli/LangCommand.h"
#include "cli/LaunchCommand.h"
#include "cli/OfferedCommands.h"
#include "cli/QueryCommand.h"
#include "cli/ServersCommand.h"
#include "common/Version.h"

#include <CLI/CLI.hpp>

#include <clocale>

int main(int argc, char **argv)
{
    // Dates as the user's locale writes them; everything else stays "C".
    std::setlocale(LC_TIME, "");
    CLI::App app{"garrison-cli: Garrison's server monitor and add-on manager without a window"};
    app.set_version_flag("--version", garrison::kVersionText);
    app.require_subcommand(0, 1);
    int exitCode = 0;
    garrison::cli::addQueryCommand(app, exitCode);
    garrison::cli::addServersCommand(app, exitCode);
    garrison::cli::addLangCommand(app, exitCode);
    garrison::cli::addNewsCommand(app, exitCode);
    garrison::cli::addBrowseCommand(app, exitCode);
    garrison::cli::addDatabaseCommands(app, exitCode);
    garrison::cli::addOfferedCommands(app, exitCode);
    garrison::cli::addDownloadCommand(app, exitCode);
    garrison::cli::addInstallCommand(app, exitCode);
    garrison::cli::addLaunchCommand(app, exitCode);
    CLI11_PARSE(app, argc, argv);
    if (app.get_subcommands().empty())
        std::cout << app.help();
    return exitCode;
}
