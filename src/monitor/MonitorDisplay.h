#pragma once

#include <cstddef>
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

// What the monitor cycle shows on the main window, and the check boxes it
// reads there. The window implements it; tests record the calls.
class MonitorDisplay {
public:
    virtual ~MonitorDisplay() = default;

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

    // The player list: rows are inserted at the end and removed by index.
    virtual void insertPlayerRow(std::size_t index, const std::string &name) = 0;
    virtual void setPlayerRow(std::size_t index, const std::string &score, const std::string &deaths) = 0;
    virtual void removePlayerRow(std::size_t index) = 0;

    virtual void showScanProgress() = 0; // message 0x402
    // The banner's address, once per run; the window fetches and shows it.
    virtual void startNewsPicture(const std::string &url) = 0;
};

} // namespace garrison
