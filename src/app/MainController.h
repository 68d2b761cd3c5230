#pragma once

#include "app/AddonBrowser.h"
#include "app/Configuration.h"
#include "app/DatabaseKeeper.h"
#include "app/HostLookupTask.h"
#include "app/InternetBrowser.h"
#include "app/MainStart.h"
#include "app/MainView.h"
#include "app/NewsAndUpgrade.h"
#include "common/MemoryStream.h"
#include "lang/LanguageTable.h"
#include "monitor/MonitorCycle.h"
#include "monitor/MonitorEndpoint.h"
#include "servers/GameFolder.h"
#include "servers/ServerSetup.h"
#include "servers/Settings.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace garrison {

// The main window without its widgets: start-up and teardown in order, the
// server list with Add, Edit and Del, the selection handler, the monitor
// cycle and Play now. The add-on database and the news (with the upgrade)
// are parts of their own. The window forwards its events here and shows
// what it is told through MainView; the monitor cycle shows its fields
// there directly and leaves its decisions here.
class MainController final : private MonitorDecisions {
public:
    MainController(MainView &view, const LanguageTable &language, MainStart start = {});
    ~MainController() override;
    MainController(const MainController &) = delete;
    MainController &operator=(const MainController &) = delete;

    // The window's initialisation after its controls are translated; false
    // when the network endpoint could not be made.
    bool initialise();
    // Stops the workers and saves; the window's position goes with the settings.
    void shutDown(std::int32_t windowLeft, std::int32_t windowTop);

    // The 500 ms timer.
    void tick(std::uint32_t now);

    void select(int index);
    int selectedIndex() const { return m_selected; }
    // The setup dialog's inputs for a new entry (editing false) or the selected one.
    ServerSetupInputs setupInputs(bool editing);
    std::optional<ServerEntry> selectedEntry() const;
    // The dialog's result; a result without its required field is dropped.
    bool add(const ServerEntry &result);
    bool edit(const ServerEntry &result);
    void removeSelected();

    // The entry the Manager edits (its automatic mod flag), or null.
    ServerEntry *selectedEntryForManager();
    bool downloadsWanted() const { return m_cycle.downloadsWanted(); }
    // While the Manager is open it works on the offered list (a download
    // from another thread, too): a list that arrives meanwhile waits.
    void managerOpening() { m_database.managerOpening(); }
    // After the Manager: is anything still missing? The entry's changes are kept.
    void managerClosed();

    // The configuration dialog's values, and its OK (the window then restarts
    // the program). A reset needs a database whose scan has ended.
    Configuration configuration() const;
    bool configure(const Configuration &values);

    // The browser of public Auto-Addon servers; null when no central server is set.
    std::unique_ptr<AddonBrowser> openBrowser() { return m_news.openBrowser(); }
    // The masters of garrison-linux.conf; their list is asked for when the browser shows it.
    std::unique_ptr<InternetBrowser> openInternetBrowser() const
    {
        return std::make_unique<InternetBrowser>(m_linux.masterHosts, m_linux.masterKey, m_language);
    }
    // The browser's Select: the entry of that address, found or made, becomes the selection.
    void chooseBrowsedServer(const std::string &address);
    // The news link button and the banner.
    void linkClicked() { m_news.linkClicked(); }
    void bannerClicked() { m_news.bannerClicked(); }

    void playNow();
    void alarmToggled(bool checked);
    // The ";"-separated mod folders of the server, for the pop-up.
    std::vector<std::string> serverMods();
    void skipScan() { m_database.skipScan(); }
    // A failed save is told once, until a save succeeds again.
    void saveSettings();

    // A file of the working folder, such as "garrison-linux.conf".
    std::string file(const char *name) const { return m_start.folder + name; }
    const Settings &settings() const { return m_settings; }
    const Options &options() const { return m_settings.options; }
    AddonDatabase &database() { return m_database.database(); }
    bool databaseReady() const { return m_database.ready(); }
    bool monitoring() const { return m_monitoring; }

private:
    // MonitorDecisions.
    void runPlayNow() override { playNow(); }
    std::optional<SelectedServer> selectedServer() const override;
    void renameSelectedServer(const std::string &name) override;
    bool scanHasEnded() const override;
    void scanEnded() override;
    // The cycle holds the status lock here: the list is taken up after its tick.
    void offeredListArrived() override { m_database.listArrived(); }

    void findGameFolder();
    void showServerRows();
    void resetForSelection(const ServerEntry *entry);
    void watch(std::uint32_t address, const std::string &portText);
    void lookupEnded();
    // "Bad address error", and which part of the address is wrong.
    void showBadAddress(const std::string &why);
    void saveDatabase();
    void tellSave(const Failure &failure, bool &failing, const char *whatLabel, const std::string &path);
    void forgetOfferedList();

    MainView &m_view;
    const LanguageTable &m_language;
    MainStart m_start;
    Settings m_settings;
    bool m_settingsWritable = true;
    bool m_settingsSaveFailed = false;
    bool m_databaseSaveFailed = false;
    StatusStore m_status;
    MemoryStream m_offeredList;
    MonitorEndpoint m_endpoint;
    MonitorCycle m_cycle;
    DatabaseKeeper m_database;
    NewsAndUpgrade m_news;

    int m_selected = -1;
    bool m_monitoring = false;
    std::unique_ptr<HostLookupTask> m_lookup;
    LinuxSettings m_linux;
    std::string m_lookupPort;
    // The selected entry's host and what it resolved to, for Play now.
    std::string m_resolvedHost;
    std::uint32_t m_resolvedAddress = 0;
};

} // namespace garrison
