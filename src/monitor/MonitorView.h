#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace garrison {

// The value fields of the main window that the monitor cycle fills.
enum class MonitorField {
    Description,
    Mission,
    ServerType,
    LoggedOn,
    TimeLeft,
    Map,
    Param,
    Platform,
    Version,
    RequiredVersion,
    Ping,
    Port,
    Locked,
    Implementation,
    EqualMods,
    Status,
    Elapsed,
    AutoAddon,
};

struct SelectedServer {
    std::string name;
    std::string address;
};

// What the monitor cycle needs of the main window. The window implements it;
// tests record the calls.
class MonitorView {
public:
    virtual ~MonitorView() = default;

    virtual void setFieldText(MonitorField field, const std::string &text) = 0;
    virtual void setManagerCaption(const std::string &text) = 0;
    virtual void setLinkCaption(const std::string &text) = 0;
    // Shown and enabled, or hidden.
    virtual void showLinkButton(bool shown) = 0;
    virtual void enableLaunchBox(bool enabled) = 0;
    virtual void clearLaunchBox() = 0;

    virtual bool notifyChecked() const = 0;
    virtual bool launchChecked() const = 0;
    virtual bool alarmChecked() const = 0;

    virtual void flashCaption() = 0;
    virtual void playSound(int id) = 0;
    virtual void runPlayNow() = 0;

    // The player list: rows are inserted at the end and removed by index.
    virtual void insertPlayerRow(std::size_t index, const std::string &name) = 0;
    virtual void setPlayerRow(std::size_t index, const std::string &score, const std::string &deaths) = 0;
    virtual void removePlayerRow(std::size_t index) = 0;

    virtual std::optional<SelectedServer> selectedServer() const = 0;
    // Replaces the selected entry's name in place and keeps it in the settings file.
    virtual void renameSelectedServer(const std::string &name) = 0;

    // The background database scan: has it ended? On its end the window
    // forgets the thread, enables the Manager if the database is ready,
    // closes the progress dialog and redoes the selection.
    virtual bool scanHasEnded() const = 0;
    virtual void scanEnded() = 0;
    virtual void showScanProgress() = 0;   // message 0x402
    virtual void offeredListArrived() = 0; // message 0x403
    virtual void startNewsPicture(const std::string &url) = 0;
};

} // namespace garrison
