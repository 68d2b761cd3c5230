#include "servers/GameStarter.h"

#include "common/GameCodePage.h"
#include "common/WindowsArguments.h"
#include "common/WordSplit.h"
#include "platform/NativePath.h"
#include "platform/ProcessStart.h"
#include "servers/LinuxSettings.h"

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

bool startGame(const GameRunner &runner, const std::string &gameFolder, const std::string &executable,
               const std::string &parameters)
{
    std::vector<std::pair<std::string, std::string>> variables;
    if (!runner.winePrefix.empty())
        variables.emplace_back("WINEPREFIX", runner.winePrefix);
    return startProcess(gameArguments(runner, gameFolder, executable, parameters), gameFolder, variables);
}

} // namespace garrison
