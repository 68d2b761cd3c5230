#include "servers/GameStarter.h"

#include "common/WordSplit.h"
#include "platform/NativePath.h"
#include "platform/ProcessStart.h"
#include "platform/WholeFile.h"

namespace garrison {

GameRunner GameRunner::load(const std::string &path)
{
    GameRunner runner;
    const auto bytes = readWholeFile(path);
    if (!bytes)
        return runner;
    std::string_view text(reinterpret_cast<const char *>(bytes->data()), bytes->size());
    while (!text.empty()) {
        const auto end = text.find('\n');
        const std::string_view line = trimWordSeparators(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        const auto equals = line.find('=');
        if (line.empty() || line.front() == '#' || equals == std::string_view::npos)
            continue;
        const std::string_view key = trimWordSeparators(line.substr(0, equals));
        const std::string value(trimWordSeparators(line.substr(equals + 1)));
        if (key == "runner" && !value.empty())
            runner.runner = splitWords(value);
        else if (key == "wine_prefix")
            runner.winePrefix = value;
    }
    return runner;
}

std::vector<std::string> gameArguments(const GameRunner &runner, const std::string &gameFolder,
                                       const std::string &executable, const std::string &parameters)
{
    std::vector<std::string> argv = runner.runner;
    argv.push_back(nativePath(gameFolder, executable).value_or(gameFolder + executable));
    for (auto &word : splitWords(parameters))
        argv.push_back(std::move(word));
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
