#include "cli/CentralCommands.h"
#include "cli/DatabaseCommands.h"
#include "cli/DownloadCommand.h"
#include "cli/InstallCommand.h"
#include "cli/JsonText.h"
#include "cli/LangCommand.h"
#include "cli/LaunchCommand.h"
#include "cli/MasterCommand.h"
#include "cli/OfferedCommands.h"
#include "cli/QueryCommand.h"
#include "cli/ServersCommand.h"
#include "common/GameCodePage.h"
#include "common/Version.h"
#include "servers/LinuxSettings.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <clocale>
#include <cstring>
#include <iostream>
#include <sstream>

namespace {

int run(int argc, char **argv)
{
    CLI::App app{"garrison-cli: Garrison's server monitor and add-on manager without a window"};
    app.set_version_flag("--version", garrison::kVersionText);
    app.require_subcommand(0, 1);
    int exitCode = 0;
    garrison::cli::addQueryCommand(app, exitCode);
    garrison::cli::addServersCommand(app, exitCode);
    garrison::cli::addLangCommand(app, exitCode);
    garrison::cli::addNewsCommand(app, exitCode);
    garrison::cli::addBrowseCommand(app, exitCode);
    garrison::cli::addMasterCommand(app, exitCode);
    garrison::cli::addDatabaseCommands(app, exitCode);
    garrison::cli::addOfferedCommands(app, exitCode);
    garrison::cli::addDownloadCommand(app, exitCode);
    garrison::cli::addInstallCommand(app, exitCode);
    garrison::cli::addLaunchCommand(app, exitCode);
    // Texts typed in are turned into the game's code page while they are parsed.
    garrison::selectGameCodePage(garrison::LinuxSettings::load().codePage);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError &error) {
        // Help and the version end well; every usage error ends with 2.
        return app.exit(error) == 0 ? 0 : 2;
    }
    if (app.get_subcommands().empty())
        std::cout << app.help();
    return exitCode;
}

// With --json a failure still gives one JSON object on standard output:
// {"error": what was said on standard error, "exit_status": N}.
int runForJson(int argc, char **argv)
{
    std::ostringstream out, errors;
    std::streambuf *const stdoutBuffer = std::cout.rdbuf(out.rdbuf());
    std::streambuf *const stderrBuffer = std::cerr.rdbuf(errors.rdbuf());
    const int exitCode = run(argc, argv);
    std::cout.rdbuf(stdoutBuffer);
    std::cerr.rdbuf(stderrBuffer);
    std::cerr << errors.str();
    if (exitCode != 0 && out.str().empty()) {
        std::string said = errors.str();
        while (!said.empty() && said.back() == '\n')
            said.pop_back();
        std::cout << garrison::cli::jsonText(nlohmann::json{{"error", said}, {"exit_status", exitCode}}) << "\n";
    } else {
        std::cout << out.str();
    }
    return exitCode;
}

} // namespace

int main(int argc, char **argv)
{
    // Dates as the user's locale writes them; everything else stays "C".
    std::setlocale(LC_TIME, "");
    const bool json =
        std::any_of(argv + 1, argv + argc, [](const char *word) { return std::strcmp(word, "--json") == 0; });
    return json ? runForJson(argc, argv) : run(argc, argv);
}
