#pragma once

#include "app/SelfUpgrade.h"
#include "monitor/MonitorDisplay.h"
#include "servers/GameFolder.h"
#include "servers/GameLaunch.h"

#include <optional>
#include <string>
#include <vector>

namespace garrison {

// What the main window shows and asks. The controller decides; the window
// shows and forwards. Launch questions come through LaunchView, and what the
// monitor cycle shows goes to the window directly, through MonitorDisplay.
class MainView : public LaunchView, public MonitorDisplay {
public:
    // Both bases ask for it; the window's one box answers both.
    void clearLaunchBox() override = 0;
    // Where the news link and the banner lead, for their tool tips.
    virtual void setLinkTarget(const std::string &link) = 0;
    virtual void checkNotifyBox() = 0;
    virtual void clearAlarmBox() = 0;
    virtual void clearPlayers() = 0;

    // The server selection box: its rows and the selected one (-1: none).
    virtual void setServerRows(const std::vector<std::string> &names, int selected) = 0;
    virtual void setAddressValue(const std::string &text) = 0;
    virtual void setPasswordValue(const std::string &text) = 0;

    // The Manager opens once the database is ready.
    virtual void enableManager(bool enabled) = 0;
    virtual void closeScanProgress() = 0;
    // The first-run message box; returns when the player closed it.
    virtual void showFirstRun() = 0;
    // A message the player reads once, such as a crash's change undone.
    virtual void showNotice(const std::string &text) = 0;
    // Where the game is, when neither the settings nor discovery know.
    virtual std::optional<std::string> askGameFolder(const DiscoveryPlaces &places) = 0;
    virtual void moveWindow(std::int32_t left, std::int32_t top) = 0;

    // A web link, in the player's browser.
    virtual void openLink(const std::string &link) = 0;
    // An upgrade runs: the window takes no input until it has ended.
    virtual void upgradeStarted() = 0;
    // staged: the new files wait in places.staging() for the setup program,
    // which the window starts before it closes; else the window is usable again.
    virtual void upgradeEnded(bool staged, const UpgradePlaces &places) = 0;
};

} // namespace garrison
