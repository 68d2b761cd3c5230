#include "servers/GameStarter.h"

#include "common/GameCodePage.h"
#include "common/WindowsArguments.h"
#include "common/WordSplit.h"
#include "platform/NativePath.h"
#include "platform/ProcessStart.h"
#include "servers/LinuxSettings.h"

#include <cerrno>
#include <system_error>

namespace garrison {

GameRunner GameRunner::load(const std::string &path)
{
    const LinuxSettings settings = LinuxSettings::load(path);
    GameRunner runner;
    runner.runner = splitWords(settings.runner);
    runner.winePrefix = settings.winePrefix;
    return runner;
}

std::vector<std::string> gameArguments(const GameRunner &runner, const std::string &gameFolder,
                                       const std::string &executable, const std::string &parameters)
{
    std::vector<std::string> argv = runner.runner;
    argv.push_back(nativePath(gameFolder, executable).value_or(gameFolder + executable));
    // Read as the game's runtime reads its command line, and handed over as UTF-8, which Wine expects.
    for (const auto &word : splitWindowsArguments(parameters))
        argv.push_back(gameTextToUtf8(word));
    return argv;
}

std::string startGame(const GameRunner &runner, const std::string &gameFolder, const std::string &executable,
                      const std::string &parameters)
{
    std::vector<std::pair<std::string, std::string>> variables;
    if (!runner.winePrefix.empty())
        variables.emplace_back("WINEPREFIX", runner.winePrefix);
    int error = 0;
    if (startProcess(gameArguments(runner, gameFolder, executable, parameters), gameFolder, variables, &error))
        return {};
    const std::string name = runner.runner.empty() ? std::string() : runner.runner.front();
    std::string why;
    if (error == ENOENT)
        why = name.find('/') == std::string::npos ? "was not found in PATH" : "was not found";
    else if (error == EACCES)
        why = "is not executable";
    else
        why = "could not be started: " + std::error_code(error, std::generic_category()).message();
    return "the runner \"" + name + "\" " + why + " (\"runner\" in " + LinuxSettings::kFileName +
           "; is Wine installed?)";
}

} // namespace garrison
