#pragma once

#include "addondb/AddonDatabase.h"
#include "monitor/ServerStatus.h"
#include "platform/HostLookup.h"
#include "servers/ServerEntry.h"
#include "servers/Settings.h"

#include <functional>
#include <optional>
#include <string>

namespace garrison {

// The questions and actions of a launch that need the window; tests answer
// them from a script.
class LaunchView {
public:
    enum class EqualModAnswer { Accept, Cancel, Force };
    enum class MissingAnswer { Manager, Cancel, Force };

    virtual ~LaunchView() = default;
    virtual EqualModAnswer askEqualMods() = 0;
    // packages: the names of the needed packages that are missing.
    virtual MissingAnswer askMissingPackages(const std::vector<std::string> &packages) = 0;
    // "FOLDER does not exist, connection may fail...": true for OK.
    virtual bool confirmMissingMod(const std::string &folder) = 0;
    virtual void openManager() = 0;
    virtual void clearLaunchAndAlarm() = 0;
    virtual void clearLaunchBox() = 0;
    // A message box with the text of this label.
    virtual void showError(const std::string &label) = 0;
    // Starts the game; false when it could not be started.
    virtual bool start(const std::string &gameFolder, const std::string &executable, const std::string &parameters) = 0;
    // After a start: minimise (keep running) or close the program.
    virtual void launched(bool keepRunning) = 0;
    virtual void settingsChanged() = 0;
};

// What a launch needs to know. The database is null without Auto-Addon.
struct LaunchSituation {
    ServerEntry *entry = nullptr; // the selected entry; null: none
    const Options *options = nullptr;
    const ServerStatus *status = nullptr;
    AddonDatabase *database = nullptr;
    bool databaseReady = false;
    // Top-level folders of the game folder, when there is no database.
    std::vector<std::string> listedFolders;
    // False for a dry run: no add-on is renamed.
    bool activate = true;
    // How the host of the entry's address becomes an IPv4 address (network
    // order); a window hands in what its selection already looked up.
    std::function<std::optional<std::uint32_t>(const std::string &host)> resolve = resolveIpv4;
};

// "Play now": the equal-mod and missing-package checks, the address, then
// Launch and its outcome.
void playNow(LaunchSituation &situation, LaunchView &view);

// Builds the parameters and the executable and starts the game; false when
// nothing was started. connectAddress and connectPort are the resolved target.
bool launchGame(LaunchSituation &situation, LaunchView &view, const std::string &connectAddress,
                const std::string &connectPort);

// The game's command line as it is shown: the quoted executable path, a
// space, the parameters.
std::string gameCommandLine(const std::string &gameFolder, const std::string &executable,
                            const std::string &parameters);

} // namespace garrison
