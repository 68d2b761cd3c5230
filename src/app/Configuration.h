#pragma once

#include "servers/LinuxSettings.h"

#include <string>

namespace garrison {

// What the configuration dialog edits: the options of "garrison.sav" and,
// on its second page, "garrison-linux.conf".
struct Configuration {
    std::string gamePath;
    bool disableAutoAddon = false;
    bool keepRunningAfterLaunch = true;
    bool minimiseToTray = true;
    bool noAutomaticActivation = false;
    bool alwaysNoMap = false;
    bool resetDatabase = false; // an action: every CRC is computed again by the next scan
    LinuxSettings linuxSettings;
};

} // namespace garrison
