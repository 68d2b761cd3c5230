#include "cli/CliLaunchView.h"

#include "common/DisplayText.h"
#include "servers/GameFolder.h"

#include <cctype>
#include <iostream>
#include <unistd.h>

namespace garrison::cli {

namespace {

bool onTerminal()
{
    return isatty(STDIN_FILENO) && isatty(STDERR_FILENO);
}

// The first letter of the answer typed, lower case; empty at end of input.
char askLetter(const std::string &question)
{
    std::cerr << question << " " << std::flush;
    std::string line;
    if (!std::getline(std::cin, line))
        return 0;
    const auto first = line.find_first_not_of(" \t");
    return first == std::string::npos ? 0 : static_cast<char>(std::tolower(static_cast<unsigned char>(line[first])));
}

} // namespace

CliLaunchView::CliLaunchView(Choices choices, GameRunner runner, const LanguageTable &language)
    : m_choices(choices), m_runner(std::move(runner)), m_language(language)
{
}

std::string CliLaunchView::text(const std::string &label) const
{
    return displayText(m_language.Resolve(label));
}

LaunchView::EqualModAnswer CliLaunchView::askEqualMods()
{
    switch (m_choices.equalMods) {
    case EqualMods::Accept:
        return EqualModAnswer::Accept;
    case EqualMods::Keep:
        return EqualModAnswer::Force;
    case EqualMods::Ask:
        break;
    }
    std::cerr << text("DSTR_EQMOD_TEXT") << "\n";
    if (!onTerminal()) {
        std::cerr << "garrison-cli: keeping your mods (--accept-server-mods loads the server's)\n";
        return EqualModAnswer::Force;
    }
    switch (askLetter("[a]ccept the server's mods, [k]eep mine, [c]ancel?")) {
    case 'a':
        return EqualModAnswer::Accept;
    case 'k':
        return EqualModAnswer::Force;
    default:
        return EqualModAnswer::Cancel;
    }
}

LaunchView::MissingAnswer CliLaunchView::askMissingPackages(const std::vector<std::string> &packages)
{
    std::cerr << text("DSTR_MISSING_TEXT") << "\n";
    for (const auto &package : packages)
        std::cerr << "  " << displayText(package) << "\n";
    if (m_choices.connectAnyway)
        return MissingAnswer::Force;
    if (onTerminal() && askLetter("Connect anyway? [y/N]") == 'y')
        return MissingAnswer::Force;
    return MissingAnswer::Manager;
}

bool CliLaunchView::confirmMissingMod(const std::string &folder)
{
    std::cerr << displayText(folder) << text("DSTR_MISSMOD_TEXT") << "\n";
    return !onTerminal() || askLetter("Start anyway? [Y/n]") != 'n';
}

void CliLaunchView::openManager()
{
    m_failed = true;
    std::cerr << "garrison-cli: nothing started; garrison-cli download fetches what the server needs, "
                 "--connect-anyway starts without it\n";
}

void CliLaunchView::showError(const std::string &label)
{
    m_failed = true;
    std::cerr << "garrison-cli: " << text(label) << "\n";
}

bool CliLaunchView::start(const std::string &gameFolder, const std::string &executable, const std::string &parameters)
{
    const DiscoveryPlaces places = DiscoveryPlaces::fromEnvironment();
    const std::string prefix = m_runner.winePrefix.empty() ? places.winePrefix : m_runner.winePrefix;
    const std::string windowsFolder = windowsFromNativePath(prefix, gameFolder);
    std::cout << displayText(gameCommandLine(windowsFolder, executable, parameters)) << "\n";
    const auto argv = gameArguments(m_runner, gameFolder, executable, parameters);
    if (m_choices.dryRun) {
        std::cout << "executable      " << argv[m_runner.runner.size()] << "\n";
        for (std::size_t i = 0; i < argv.size(); ++i)
            std::cout << "argv[" << i << "]" << std::string(i < 10 ? 9 : 8, ' ') << argv[i] << "\n";
        std::cout << "working folder  " << gameFolder << "\n";
        if (!m_runner.winePrefix.empty())
            std::cout << "WINEPREFIX      " << m_runner.winePrefix << "\n";
        return true;
    }
    const std::string problem = startGame(m_runner, gameFolder, executable, parameters);
    if (!problem.empty())
        std::cerr << "garrison-cli: " << problem << "\n";
    return problem.empty();
}

} // namespace garrison::cli
