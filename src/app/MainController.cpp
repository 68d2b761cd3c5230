#include "app/MainController.h"

#include "addondb/DatabaseFile.h"
#include "addondb/FileTree.h"
#include "addondb/ModRecommendation.h"
#include "addondb/OfferedBlock.h"
#include "addondb/Package.h"
#include "app/BrowserLink.h"
#include "app/SaveProblem.h"
#include "app/StagedSwap.h"
#include "autoaddon/OfferedModel.h"
#include "common/GameCodePage.h"
#include "common/TextCompare.h"
#include "monitor/ListCache.h"
#include "platform/FileSystem.h"
#include "servers/CommandLineEntry.h"
#include "servers/ModList.h"
#include "servers/ServerAddress.h"
#include "servers/SettingsFile.h"

#include <arpa/inet.h>
#include <cerrno>
#include <utility>

namespace garrison {

namespace {

constexpr MonitorField kValueFields[] = {
    MonitorField::Description,     MonitorField::Mission,        MonitorField::ServerType,
    MonitorField::LoggedOn,        MonitorField::TimeLeft,       MonitorField::Map,
    MonitorField::Param,           MonitorField::Platform,       MonitorField::Version,
    MonitorField::RequiredVersion, MonitorField::Ping,           MonitorField::Port,
    MonitorField::Locked,          MonitorField::Implementation, MonitorField::EqualMods,
    MonitorField::Status,          MonitorField::Elapsed,        MonitorField::AutoAddon,
};

std::optional<std::uint32_t> dottedOnly(const std::string &host)
{
    in_addr address{};
    if (inet_pton(AF_INET, host.c_str(), &address) != 1)
        return std::nullopt;
    return address.s_addr;
}

} // namespace

MainController::MainController(MainView &view, const LanguageTable &language, MainStart start)
    : m_view(view), m_language(language), m_start(std::move(start)),
      m_endpoint(m_status, m_start.pollInterval, m_start.folder),
      m_cycle(m_view, *this, m_status, language, m_offeredList), m_database(language, file(DatabaseFile::kFileName)),
      m_news(view, language, m_status, m_endpoint, m_start)
{
}

MainController::~MainController()
{
    m_database.stop();
    m_endpoint.stop();
}

bool MainController::initialise()
{
    m_status.clear();
    m_view.checkNotifyBox();
    const bool network = m_endpoint.create() && m_endpoint.start();
    auto read = SettingsFile::read(file(SettingsFile::kFileName));
    m_settings = std::move(read.settings);
    // The player's list stays as it is: this run works on the defaults and never saves over it.
    m_settingsWritable = read.problem.empty();
    if (!m_settingsWritable)
        m_view.showNotice(std::string(SettingsFile::kFileName) + " cannot be read (" + read.problem +
                          "). Garrison works on without saving over it.");
    // Said once here; the saves that fail for the same reason say nothing more.
    m_settingsSaveFailed = !folderWritable(m_start.folder.empty() ? "./" : m_start.folder);
    m_databaseSaveFailed = m_settingsSaveFailed;
    if (m_settingsSaveFailed)
        m_view.showNotice("The folder " + (m_start.folder.empty() ? std::string("here") : m_start.folder) +
                          " cannot be written: the server list, the options and the add-on database of this run "
                          "will not be saved.");
    forgetOfferedList();
    // An upgrade cut short is undone before anything else, and a failed one told.
    if (const std::string upgrade = recoverInterruptedSwap(m_start.programFolder); !upgrade.empty())
        m_view.showNotice(upgrade);
    m_linux = LinuxSettings::load(file(LinuxSettings::kFileName));
    if (!m_linux.winePrefix.empty())
        m_start.places.winePrefix = m_linux.winePrefix;
    selectGameCodePage(m_linux.codePage);
    if (m_settings.options.windowLeft >= 0 && m_settings.options.windowTop >= 0)
        m_view.moveWindow(m_settings.options.windowLeft, m_settings.options.windowTop);
    findGameFolder();
    m_database.start(m_settings.options, m_view);
    applyCommandLine(m_start.commandLine, m_settings);
    const auto count = static_cast<std::int32_t>(m_settings.servers.size());
    m_selected = m_settings.selectedIndex >= 0 && m_settings.selectedIndex < count ? m_settings.selectedIndex : -1;
    showServerRows();
    // Without a scan whose end would do it, the selection is handled now.
    if (!m_database.scanRunning())
        select(m_selected);
    m_news.start(parseCentralHost(m_linux.centralHost));
    return network;
}

void MainController::chooseBrowsedServer(const std::string &address)
{
    for (std::size_t i = 0; i < m_settings.servers.size(); ++i) {
        if (equalsNoCase(m_settings.servers[i].address, address)) {
            m_selected = static_cast<int>(i);
            showServerRows();
            select(m_selected);
            return;
        }
    }
    ServerEntry entry;
    entry.address = address;
    entry.automaticModSelection = true;
    add(entry);
}

void MainController::findGameFolder()
{
    if (const auto found = checkGameFolderAtStart(m_settings.options.gameFolder, m_start.places)) {
        m_settings.options.gameFolder = found->folder;
        return;
    }
    m_settings.options.gameFolder.clear();
    if (auto chosen = m_view.askGameFolder(m_start.places); chosen && !chosen->empty()) {
        if (!chosen->ends_with('/'))
            *chosen += '/';
        m_settings.options.gameFolder = *chosen;
    }
}

void MainController::shutDown(std::int32_t windowLeft, std::int32_t windowTop)
{
    m_database.stop();
    m_endpoint.stop();
    m_settings.options.windowLeft = windowLeft;
    m_settings.options.windowTop = windowTop;
    saveSettings();
    if (m_database.ready())
        saveDatabase();
    sweepListCaches(m_start.folder.empty() ? "./" : m_start.folder, currentFileTime());
}

void MainController::saveSettings()
{
    m_settings.selectedIndex = m_selected;
    if (!m_settingsWritable)
        return;
    const std::string path = file(SettingsFile::kFileName);
    errno = 0;
    const bool saved = SettingsFile::save(m_settings, path);
    tellSave(saved ? Failure() : Failure::because(path, errno), m_settingsSaveFailed, "DSTR_LINUX_NOTSAVED_SERVERS",
             path);
}

void MainController::tellSave(const Failure &failure, bool &failing, const char *whatLabel, const std::string &path)
{
    // Told once, until a save of the same file succeeds again.
    if (!failure)
        failing = false;
    else if (!std::exchange(failing, true))
        m_view.showNotice(notSavedText(m_language, whatLabel, path, failure.error()));
}

void MainController::forgetOfferedList()
{
    m_database.forgetOfferedList(m_settings.options.installExisting);
}

void MainController::saveDatabase()
{
    tellSave(m_database.save(), m_databaseSaveFailed, "DSTR_LINUX_NOTSAVED_DATABASE", m_database.file());
}

void MainController::tick(std::uint32_t now)
{
    if (m_lookup && m_lookup->ended())
        lookupEnded();
    m_news.tick();
    if (m_database.takeScanStart())
        m_cycle.scanStarted(now);
    m_cycle.tick(now);
    if (const auto wanted = m_database.takeUpWaitingList(m_offeredList, m_settings.options.installExisting))
        m_cycle.setDownloadsWanted(*wanted);
}

void MainController::showServerRows()
{
    std::vector<std::string> names;
    for (const auto &entry : m_settings.servers)
        names.push_back(entry.name);
    m_view.setServerRows(names, m_selected);
}

void MainController::select(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_settings.servers.size())
        index = -1;
    m_selected = index;
    m_settings.selectedIndex = index;
    const ServerEntry *entry = index < 0 ? nullptr : &m_settings.servers[static_cast<std::size_t>(index)];
    if (!entry) {
        m_view.setAddressValue({});
        m_view.setPasswordValue({});
    } else {
        m_view.setAddressValue(entry->local ? m_language.Resolve("DSTR_MAIN_LOCALPLAY") : entry->address);
        m_view.setPasswordValue(entry->local || entry->password.empty() ? m_language.Resolve("DSTR_MAIN_NOPASSWORD")
                                                                        : entry->password);
    }
    // With no entry left the old server must stop showing too.
    resetForSelection(entry);
    if (!entry || entry->local)
        return;

    const auto address = splitServerAddress(entry->address);
    const std::string portText = address.portText.empty() ? "0" : address.portText;
    if (address.host.empty()) {
        showBadAddress(m_language.Resolve("DSTR_LINUX_BADADDR_NOHOST"));
        return;
    }
    if (!parsePortText(portText)) {
        showBadAddress(m_language.Resolve("DSTR_LINUX_BADADDR_PORT") + portText);
        return;
    }
    if (const auto dotted = dottedOnly(address.host)) {
        m_resolvedHost = address.host;
        watch(*dotted, portText);
        return;
    }
    m_lookup = std::make_unique<HostLookupTask>(address.host);
    m_lookupPort = portText;
}

void MainController::resetForSelection(const ServerEntry *entry)
{
    m_lookup.reset();
    m_resolvedHost.clear();
    m_cycle.setDownloadsWanted(false);
    forgetOfferedList();
    if (m_monitoring) {
        m_endpoint.post(StopPolling{});
        m_monitoring = false;
        m_cycle.setMonitoring(false);
        m_view.clearLaunchBox();
        m_view.clearAlarmBox();
        m_view.enableLaunchBox(false);
    }
    {
        std::lock_guard guard(m_status.lock);
        m_status.password = entry ? entry->password : std::string();
        m_status.record = ServerStatus{};
    }
    for (const auto field : kValueFields)
        m_view.setFieldText(field, {});
    if (entry && entry->local)
        m_view.setFieldText(MonitorField::Description, m_language.Resolve("DSTR_MAIN_SERVERLOCAL"));
    m_view.clearPlayers();
    m_cycle.selectionChanged();
}

void MainController::lookupEnded()
{
    const auto task = std::move(m_lookup);
    if (const auto address = task->address()) {
        m_resolvedHost = task->host();
        watch(*address, m_lookupPort);
    } else {
        showBadAddress(m_language.Resolve("DSTR_LINUX_BADADDR_HOST1") + task->host() +
                       m_language.Resolve("DSTR_LINUX_BADADDR_HOST2"));
    }
}

void MainController::showBadAddress(const std::string &why)
{
    m_view.setFieldText(MonitorField::Description, m_language.Resolve("DSTR_MAIN_BADADDRESS") + why);
}

void MainController::watch(std::uint32_t address, const std::string &portText)
{
    m_resolvedAddress = address;
    m_endpoint.post(SetTarget{address, *parsePortText(portText)});
    m_endpoint.post(StartPolling{});
    m_monitoring = true;
    m_cycle.setMonitoring(true);
}

std::optional<ServerEntry> MainController::selectedEntry() const
{
    if (m_selected < 0)
        return std::nullopt;
    return m_settings.servers[static_cast<std::size_t>(m_selected)];
}

ServerSetupInputs MainController::setupInputs(bool editing)
{
    ServerSetupInputs inputs;
    inputs.servers = m_settings.servers;
    inputs.editing = editing && m_selected >= 0;
    AddonDatabase &database = m_database.database();
    if (database.listingMode()) {
        inputs.modFolders = database.extraFolders();
    } else if (m_database.ready()) {
        for (const FileNode *folder : database.modFolders()) {
            std::string name(folder->name());
            if (name.ends_with('\\'))
                name.pop_back();
            inputs.modFolders.push_back(name);
        }
    }
    inputs.offeredListReceived = m_database.ready() && !database.offered().packages.empty();
    if (inputs.offeredListReceived)
        inputs.autoDetectedMods = recommendMods(database, {});
    return inputs;
}

bool MainController::add(const ServerEntry &result)
{
    if (result.local ? result.name.empty() : result.address.empty())
        return false;
    ServerEntry entry = result;
    if (!entry.local)
        entry.name = entry.address;
    m_settings.servers.push_back(entry);
    m_selected = static_cast<int>(m_settings.servers.size()) - 1;
    showServerRows();
    select(m_selected);
    return true;
}

bool MainController::edit(const ServerEntry &result)
{
    if (m_selected < 0)
        return add(result);
    if (result.local ? result.name.empty() : result.address.empty())
        return false;
    m_settings.servers[static_cast<std::size_t>(m_selected)] = result;
    showServerRows();
    select(m_selected);
    return true;
}

void MainController::removeSelected()
{
    if (m_selected < 0)
        return;
    m_settings.servers.erase(m_settings.servers.begin() + m_selected);
    m_selected = m_settings.servers.empty() ? -1 : 0;
    showServerRows();
    select(m_selected);
}

void MainController::playNow()
{
    if (m_selected < 0)
        return;
    const ServerStatus status = m_status.snapshot();
    LaunchSituation situation;
    situation.entry = &m_settings.servers[static_cast<std::size_t>(m_selected)];
    situation.options = &m_settings.options;
    situation.status = &status;
    situation.database = m_database.ready() ? &m_database.database() : nullptr;
    situation.databaseReady = m_database.ready();
    situation.listedFolders = m_database.database().extraFolders();
    // The selection looked the host up already; the window never waits for a name server.
    situation.resolve = [this](const std::string &host) -> std::optional<std::uint32_t> {
        if (!m_resolvedHost.empty() && host == m_resolvedHost)
            return m_resolvedAddress;
        return dottedOnly(host);
    };
    garrison::playNow(situation, m_view);
}

Configuration MainController::configuration() const
{
    Configuration values;
    const Options &options = m_settings.options;
    values.gamePath = options.gameFolder;
    values.disableAutoAddon = !options.autoAddonEnabled;
    values.keepRunningAfterLaunch = options.keepRunningAfterLaunch;
    values.minimiseToTray = options.minimiseToTray;
    values.noAutomaticActivation = options.noAutomaticActivation;
    values.alwaysNoMap = options.alwaysNoMap;
    values.linuxSettings = LinuxSettings::load(file(LinuxSettings::kFileName));
    return values;
}

bool MainController::configure(const Configuration &values)
{
    Options &options = m_settings.options;
    // An emptied path stays empty: the next start looks for the game again.
    options.gameFolder = values.gamePath;
    if (!options.gameFolder.empty() && !options.gameFolder.ends_with('/'))
        options.gameFolder += '/';
    options.autoAddonEnabled = !values.disableAutoAddon;
    if (values.resetDatabase && m_database.ready() && m_database.database().root())
        forgetTimes(*m_database.database().root());
    options.keepRunningAfterLaunch = values.keepRunningAfterLaunch;
    options.minimiseToTray = values.minimiseToTray;
    options.noAutomaticActivation = values.noAutomaticActivation;
    options.alwaysNoMap = values.alwaysNoMap;
    return LinuxSettings::save(values.linuxSettings, file(LinuxSettings::kFileName));
}

ServerEntry *MainController::selectedEntryForManager()
{
    return m_selected < 0 ? nullptr : &m_settings.servers[static_cast<std::size_t>(m_selected)];
}

void MainController::managerClosed()
{
    m_database.managerClosed();
    m_settings.options.installExisting = m_database.database().offered().installExistingFiles;
    if (m_database.ready())
        m_cycle.setDownloadsWanted(m_database.downloadsWanted());
    saveSettings();
}

void MainController::alarmToggled(bool checked)
{
    if (checked)
        m_view.playSound(MonitorCycle::kAlarmSound);
}

std::vector<std::string> MainController::serverMods()
{
    std::string mods;
    {
        std::lock_guard guard(m_status.lock);
        mods = m_status.record.mod;
    }
    return splitModList(mods);
}

std::optional<SelectedServer> MainController::selectedServer() const
{
    if (m_selected < 0)
        return std::nullopt;
    const auto &entry = m_settings.servers[static_cast<std::size_t>(m_selected)];
    return SelectedServer{entry.name, entry.address};
}

void MainController::renameSelectedServer(const std::string &name)
{
    if (m_selected < 0)
        return;
    m_settings.servers[static_cast<std::size_t>(m_selected)].name = name;
    showServerRows();
    saveSettings();
}

bool MainController::scanHasEnded() const
{
    return m_database.scanHasEnded();
}

void MainController::scanEnded()
{
    const auto notes = m_database.finishScan();
    {
        std::lock_guard guard(m_status.lock);
        m_status.addonDatabaseReady = m_database.ready();
    }
    m_view.enableManager(m_database.ready());
    m_view.closeScanProgress();
    for (const auto &note : notes)
        m_view.showNotice(note);
    select(m_selected);
}

} // namespace garrison
