#pragma once

#include "app/MainView.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace garrison::test {

// Keeps what the window would show; the questions are answered from fields.
class RecordingMainView final : public MainView {
public:
    std::map<MonitorField, std::string> fields;
    std::vector<std::string> rows;
    int selectedRow = -2;
    std::string address, password;
    std::vector<std::pair<std::string, std::string>> players; // name, "score/deaths"
    std::vector<std::string> actions;
    bool notify = false, launch = false, alarm = false;
    EqualModAnswer equalModAnswer = EqualModAnswer::Force;
    std::optional<std::string> gameFolderAnswer;
    std::string started; // executable and parameters of the last start

    void setFieldText(MonitorField field, const std::string &text) override { fields[field] = text; }
    std::string managerCaption;
    void setManagerCaption(const std::string &text) override { managerCaption = text; }
    std::string linkCaption;
    bool linkButtonShown = false;
    void setLinkCaption(const std::string &text) override { linkCaption = text; }
    std::string linkTarget;
    void setLinkTarget(const std::string &link) override { linkTarget = link; }
    void showLinkButton(bool shown) override { linkButtonShown = shown; }
    void enableLaunchBox(bool) override {}
    bool notifyChecked() const override { return notify; }
    bool launchChecked() const override { return launch; }
    bool alarmChecked() const override { return alarm; }
    void checkNotifyBox() override { notify = true; }
    void clearAlarmBox() override
    {
        alarm = false;
        actions.push_back("alarm cleared");
    }
    void flashCaption() override {}
    void playSound(int id) override { actions.push_back("sound " + std::to_string(id)); }
    void insertPlayerRow(std::size_t index, const std::string &name) override
    {
        ASSERT_EQ(index, players.size());
        players.push_back({name, ""});
    }
    void setPlayerRow(std::size_t index, const std::string &score, const std::string &deaths) override
    {
        players.at(index).second = score + "/" + deaths;
    }
    void removePlayerRow(std::size_t index) override { players.erase(players.begin() + static_cast<long>(index)); }
    void clearPlayers() override { players.clear(); }
    void setServerRows(const std::vector<std::string> &names, int selected) override
    {
        rows = names;
        selectedRow = selected;
    }
    void setAddressValue(const std::string &text) override { address = text; }
    void setPasswordValue(const std::string &text) override { password = text; }
    void enableManager(bool enabled) override { actions.push_back(enabled ? "manager on" : "manager off"); }
    void showScanProgress() override { actions.push_back("scan progress"); }
    void closeScanProgress() override { actions.push_back("scan progress closed"); }
    void showFirstRun() override { actions.push_back("first run"); }
    void showNotice(const std::string &text) override { actions.push_back("notice " + text); }
    std::optional<std::string> askGameFolder(const DiscoveryPlaces &) override
    {
        actions.push_back("asked for the game folder");
        return gameFolderAnswer;
    }
    void moveWindow(std::int32_t left, std::int32_t top) override
    {
        actions.push_back("moved to " + std::to_string(left) + "," + std::to_string(top));
    }

    EqualModAnswer askEqualMods() override
    {
        actions.push_back("equal mods?");
        return equalModAnswer;
    }
    MissingAnswer askMissingPackages(const std::vector<std::string> &) override { return MissingAnswer::Cancel; }
    bool confirmMissingMod(const std::string &) override { return true; }
    void openManager() override {}
    void clearLaunchAndAlarm() override {}
    void clearLaunchBox() override { launch = false; }
    void showError(const std::string &label) override { actions.push_back("error " + label); }
    bool start(const std::string &, const std::string &executable, const std::string &parameters) override
    {
        started = executable + " " + parameters;
        return true;
    }
    void launched(bool keepRunning) override { actions.push_back(keepRunning ? "minimised" : "closed"); }
    void settingsChanged() override { actions.push_back("settings changed"); }
    void startNewsPicture(const std::string &url) override { actions.push_back("banner " + url); }
    void openLink(const std::string &link) override { actions.push_back("open " + link); }
    void upgradeStarted() override { actions.push_back("upgrade started"); }
    void upgradeEnded(bool staged, const UpgradePlaces &) override
    {
        actions.push_back(staged ? "upgrade staged" : "upgrade failed");
    }
};

} // namespace garrison::test
