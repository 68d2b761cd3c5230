#pragma once

#include "app/BannerFetch.h"
#include "app/MainController.h"
#include "app/MainView.h"
#include "app/SoundOutput.h"
#include "gui/CToolTipDialog.h"
#include "gui/NewsPicture.h"

#include <QLineEdit>
#include <QSystemTrayIcon>
#include <QTimer>

#include <future>
#include <map>
#include <memory>

namespace Ui {
class MainWindow;
}
class QLabel;

namespace garrison::gui {

class ScanProgressDialog;

// The window a player lives in: the server list, everything about the
// selected server, the actions, Play now. Decisions are the controller's.
class MainWindow final : public CToolTipDialog, private MainView {
    Q_OBJECT

public:
    MainWindow(const LanguageTable &language, SoundOutput &sound, MainStart start, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Runs the start-up; call once the window is shown.
    void initialise();
    // A second copy was started: come back from the tray, restored, and flash.
    void handOver();

    MainController &controller() { return *m_controller; }
    // The configuration was confirmed: Garrison is to start again once this window has closed.
    bool restartRequested() const { return m_restart; }

protected:
    void done(int result) override;
    void changeEvent(QEvent *event) override;
    // Escape does not end the program and Enter starts nothing by itself:
    // closing stays with Close and the window's close button.
    void keyPressEvent(QKeyEvent *event) override;

private:
    void tick();
    void selectionChanged(int index);
    void addServer();
    void editServer();
    void showServerMods();
    void showAbout();
    void openManagerWindow();
    void openConfiguration();
    void hideInTray();
    void showBannerWhenFetched();
    void showBannerWhenDecoded();
    void showLinkToolTip();
    void openBrowserDialog();
    void leaveTray();

    // MainView
    void setFieldText(MonitorField field, const std::string &text) override;
    void setManagerCaption(const std::string &text) override;
    void setLinkCaption(const std::string &text) override;
    void setLinkTarget(const std::string &link) override;
    void showLinkButton(bool shown) override;
    void enableLaunchBox(bool enabled) override;
    bool notifyChecked() const override;
    bool launchChecked() const override;
    bool alarmChecked() const override;
    void checkNotifyBox() override;
    void clearAlarmBox() override;
    void flashCaption() override;
    void playSound(int id) override;
    void insertPlayerRow(std::size_t index, const std::string &name) override;
    void setPlayerRow(std::size_t index, const std::string &score, const std::string &deaths) override;
    void removePlayerRow(std::size_t index) override;
    void clearPlayers() override;
    void setServerRows(const std::vector<std::string> &names, int selected) override;
    void setAddressValue(const std::string &text) override;
    void setPasswordValue(const std::string &text) override;
    void enableManager(bool enabled) override;
    void showScanProgress() override;
    void closeScanProgress() override;
    void showFirstRun() override;
    void showNotice(const std::string &text) override;
    std::optional<std::string> askGameFolder(const DiscoveryPlaces &places) override;
    void moveWindow(std::int32_t left, std::int32_t top) override;
    void startNewsPicture(const std::string &url) override;
    void openLink(const std::string &link) override;
    void upgradeStarted() override;
    void upgradeEnded(bool staged, const UpgradePlaces &places) override;

    // LaunchView
    EqualModAnswer askEqualMods() override;
    MissingAnswer askMissingPackages(const std::vector<std::string> &packages) override;
    bool confirmMissingMod(const std::string &folder) override;
    void openManager() override;
    void clearLaunchAndAlarm() override;
    void clearLaunchBox() override;
    void showError(const std::string &label) override;
    bool start(const std::string &gameFolder, const std::string &executable, const std::string &parameters) override;
    void launched(bool keepRunning) override;
    void settingsChanged() override;

    std::unique_ptr<Ui::MainWindow> m_ui;
    SoundOutput &m_sound;
    std::unique_ptr<MainController> m_controller;
    std::map<MonitorField, QLineEdit *> m_fields;
    QTimer m_timer;
    QSystemTrayIcon *m_tray = nullptr;
    bool m_inTray = false;
    bool m_shutDown = false;
    bool m_restart = false;
    ScanProgressDialog *m_scanDialog = nullptr;
    std::unique_ptr<BannerFetch> m_banner;
    QString m_linkText;   // the whole news text
    QString m_linkTarget; // where the link leads
    std::future<std::vector<NewsPicture::Frame>> m_bannerFrames;
    std::string m_startProblem;
};

} // namespace garrison::gui
