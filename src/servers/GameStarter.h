#pragma once

#include "servers/LinuxSettings.h"

#include <string>
#include <vector>

namespace garrison {

// How the Windows game runs here: through a runner (wine by default) with the
// Wine prefix discovery found. Kept in "garrison-linux.conf" beside
// garrison.sav (lines "runner = ..." and "wine_prefix = ..."), so that the
// settings file stays as the game's tools know it.
struct GameRunner {
    static constexpr const char *kFileName = LinuxSettings::kFileName;

    std::vector<std::string> runner = {"wine"};
    std::string winePrefix;

    static GameRunner load(const std::string &path = kFileName);
};

// The runner's words, the executable as a native path (its spelling on disk),
// then the parameters as the game's runtime splits a Windows command line,
// each turned from the game's code page into UTF-8.
std::vector<std::string> gameArguments(const GameRunner &runner, const std::string &gameFolder,
                                       const std::string &executable, const std::string &parameters);
// Starts the game in the game folder. Empty when it started, else why not:
// the runner named, what is wrong with it and where it is set.
std::string startGame(const GameRunner &runner, const std::string &gameFolder, const std::string &executable,
                      const std::string &parameters);

} // namespace garrison
