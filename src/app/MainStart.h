#pragma once

#include "app/SelfUpgrade.h"
#include "monitor/QueryPackets.h"
#include "servers/GameFolder.h"

#include <string>
#include <vector>

namespace garrison {

// Where the main window keeps its files ("" is the working directory) and
// what it was started with.
struct MainStart {
    std::string folder;
    std::vector<std::string> commandLine; // the words after the program path
    DiscoveryPlaces places = DiscoveryPlaces::fromEnvironment();
    std::uint32_t pollInterval = kPollIntervalMs;
    std::string programFolder = runningProgramFolder();
    UpgradeKey upgradeKey = kUpgradePublicKey; // tests sign with a key of their own
};

} // namespace garrison
