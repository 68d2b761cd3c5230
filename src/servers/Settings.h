#pragma once

#include "servers/ServerEntry.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace garrison {

struct Options {
    std::string gameFolder; // a native path ending in "/"
    bool installExisting = true;
    bool autoAddonEnabled = true;
    bool keepRunningAfterLaunch = true;
    bool minimiseToTray = true;
    bool noAutomaticActivation = false;
    std::array<std::string, 10> executables; // per game-version class
    std::int32_t windowLeft = -1;            // -1: no position stored
    std::int32_t windowTop = -1;
    bool alwaysNoMap = false;

    bool operator==(const Options &) const = default;
};

// Everything "garrison.sav" holds.
struct Settings {
    std::vector<ServerEntry> servers;
    std::int32_t selectedIndex = -1; // passed through unchanged, even when out of range
    Options options;

    bool operator==(const Settings &) const = default;
};

} // namespace garrison
