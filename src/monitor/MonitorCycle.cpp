#include "monitor/MonitorCycle.h"

#include "monitor/AddonServerText.h"
#include "monitor/GameStates.h"

#include <cstdio>
#include <utility>

namespace garrison {

namespace {

constexpr std::uint32_t kScanProgressDelayMs = 2000;
constexpr std::string_view kDedicatedPrefix = "Dedicated server on ";

std::string clockText(std::uint32_t milliseconds)
{
    const std::uint32_t seconds = milliseconds / 1000;
    char text[32];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u", seconds / 3600, seconds / 60 % 60, seconds % 60);
    return text;
}

} // namespace

MonitorCycle::MonitorCycle(MonitorDisplay &display, MonitorDecisions &decisions, StatusStore &status,
                           const LanguageTable &language, MemoryStream &offeredList)
    : m_display(display), m_decisions(decisions), m_status(status), m_language(language), m_offeredList(offeredList)
{
}

void MonitorCycle::scanStarted(std::uint32_t now)
{
    m_scanRunning = true;
    m_scanStart = now;
}

void MonitorCycle::tick(std::uint32_t now)
{
    ++m_tickCounter;
    if (m_downloadsWanted)
        m_display.setManagerCaption(text(m_tickCounter % 2 ? "DSTR_MAIN_MANAGER_FLASH2" : "DSTR_MAIN_MANAGER_FLASH1"));
    else
        m_display.setManagerCaption(text("DSTR_MAIN_MANAGER"));
    showNews();
    watchScan(now);

    std::string shownDescription;
    std::uint32_t gameState = 0;
    {
        std::lock_guard guard(m_status.lock);
        if (!m_status.upgradeStatus.empty())
            m_display.setLinkCaption(m_status.upgradeStatus);
        if (!m_monitoring)
            return;
        m_notify = m_display.notifyChecked();
        m_launch = m_display.launchChecked();
        ServerStatus &record = m_status.record;
        showSilence(record, now);
        if (record.implementation != Implementation::Unknown) {
            showRecord(record, now);
            announce(record);
        }
        showAutoAddon();
        shownDescription = record.shownDescription;
        gameState = record.gameState;
    }

    m_display.enableLaunchBox(gameState >= 12);
    if (gameEnded(gameState)) {
        if (m_launch) {
            m_display.clearLaunchBox();
            m_launch = false;
            m_decisions.runPlayNow();
        }
        if (m_tickCounter % 4 == 0 && m_display.alarmChecked())
            m_display.playSound(kAlarmSound);
    }
    renameUnnamedServer(shownDescription);
    ++m_listGeneration;
}

void MonitorCycle::showNews()
{
    NewsAnswer news;
    {
        std::lock_guard guard(m_status.lock);
        news = m_status.news;
    }
    // An upgrade offer blinks: the text is off one tick in four.
    m_display.setLinkCaption(news.upgradeAvailable && m_tickCounter % 4 == 0 ? std::string() : news.newsText);
    if (m_pictureStarted || news.pictureUrl.empty())
        return;
    m_pictureStarted = true;
    m_display.startNewsPicture(news.pictureUrl);
    m_display.setLinkCaption(news.newsText);
    m_display.showLinkButton(!news.newsText.empty());
}

void MonitorCycle::showSilence(const ServerStatus &record, std::uint32_t now)
{
    if (record.implementation != Implementation::Unknown) {
        // The first answer: its description replaces the notice, even an empty one.
        if (std::exchange(m_silenceShown, false))
            set(MonitorField::Description, record.description);
        m_silentSince.reset();
        return;
    }
    if (!m_silentSince)
        m_silentSince = now;
    const std::uint32_t silent = now - *m_silentSince;
    const auto server = m_decisions.selectedServer();
    if (silent < kSilenceMs || !server)
        return;
    set(MonitorField::Description, text("DSTR_LINUX_NOANSWER_FROM") + server->address +
                                       text("DSTR_LINUX_NOANSWER_FOR") + std::to_string(silent / 1000) +
                                       text("DSTR_LINUX_NOANSWER_SECONDS"));
    m_silenceShown = true;
}

void MonitorCycle::watchScan(std::uint32_t now)
{
    if (!m_scanRunning)
        return;
    if (m_decisions.scanHasEnded()) {
        m_scanRunning = false;
        m_scanStart.reset();
        m_decisions.scanEnded();
    } else if (m_scanStart && now - *m_scanStart >= kScanProgressDelayMs) {
        m_scanStart.reset();
        m_display.showScanProgress();
    }
}

void MonitorCycle::showRecord(ServerStatus &record, std::uint32_t now)
{
    if (record.description != record.shownDescription) {
        set(MonitorField::Description, record.description);
        record.shownDescription = record.description;
    }
    if (record.mission != record.shownMission) {
        set(MonitorField::Mission, record.mission);
        record.shownMission = record.mission;
    }
    if (record.gameName == "opflash")
        set(MonitorField::ServerType, text("DSTR_MAIN_SERVERTYPE_OFP"));
    else if (record.gameName == "opflashr")
        set(MonitorField::ServerType, text("DSTR_MAIN_SERVERTYPE_OFPR"));
    else if (!record.gameName.empty())
        set(MonitorField::ServerType, record.gameName);
    else if (record.implementation == Implementation::Vbs1)
        set(MonitorField::ServerType, text("DSTR_MAIN_SERVERTYPE_VBS1"));

    set(MonitorField::LoggedOn,
        std::to_string(record.players) + (record.maxPlayers.empty() ? "" : "/" + record.maxPlayers));
    // "15" also stands for "unknown"; it is a real 15 minutes only right after 16.
    if (record.timeLeft == "15") {
        set(MonitorField::TimeLeft, record.previousTimeLeft == "16" ? "15" : text("DSTR_MAIN_TIMELEFT_NA"));
    } else if (!record.timeLeft.empty()) {
        set(MonitorField::TimeLeft, record.timeLeft);
        record.previousTimeLeft = record.timeLeft;
    }
    set(MonitorField::Map, record.map);
    if (!record.param1.empty())
        set(MonitorField::Param, record.param1 + ", " + record.param2);
    if (record.platform == "win")
        set(MonitorField::Platform, text("DSTR_MAIN_PLATFORM_WINDOWS"));
    else if (record.platform == "linux")
        set(MonitorField::Platform, text("DSTR_MAIN_PLATFORM_LINUX"));
    else if (!record.platform.empty())
        set(MonitorField::Platform, record.platform);
    set(MonitorField::Version, std::to_string(record.version));
    set(MonitorField::RequiredVersion, std::to_string(record.requiredVersion));
    set(MonitorField::Ping, std::to_string(record.ping));
    set(MonitorField::Port, std::to_string(record.port));
    set(MonitorField::Locked, text(record.passwordRequired ? "DSTR_MAIN_PWLOCKED_YES" : "DSTR_MAIN_PWLOCKED_NO"));
    set(MonitorField::Implementation,
        text(record.implementation == Implementation::DirectPlay ? "DSTR_MAIN_IMPLEMENTATION_DPLAY"
                                                                 : "DSTR_MAIN_IMPLEMENTATION_SOCKETS"));
    set(MonitorField::EqualMods,
        text(record.equalModRequired ? "DSTR_MAIN_EQUALMODREQ_YES" : "DSTR_MAIN_EQUALMODREQ_NO"));
    set(MonitorField::Status, gameStateText(record.gameState, m_language));
    showElapsed(record, now);
    showPlayers(record);
}

void MonitorCycle::announce(ServerStatus &record)
{
    if (record.gameState == record.announcedState)
        return;
    const Announcement announcement = announcementFor(record.gameState, record.announcedState);
    if (!announcement.recorded)
        return;
    if (m_notify && announcement.sound) {
        m_display.playSound(announcement.sound);
        m_display.flashCaption();
    }
    record.announcedState = record.gameState;
}

void MonitorCycle::showElapsed(ServerStatus &record, std::uint32_t now)
{
    const auto restart = [&] {
        record.elapsedState = record.gameState;
        record.elapsedKnown = true;
        record.elapsedBase = 0;
        record.elapsedStart = now;
    };
    if (record.elapsedKnown) {
        if (record.gameState != record.elapsedState)
            restart();
        set(MonitorField::Elapsed, clockText(now + record.elapsedBase - record.elapsedStart));
        return;
    }
    set(MonitorField::Elapsed, text("DSTR_MAIN_TIMEELAPSED_NA"));
    // The clock starts at the first change seen after selection.
    if (record.elapsedState == -1)
        record.elapsedState = record.gameState;
    else if (record.gameState != record.elapsedState)
        restart();
}

void MonitorCycle::showPlayers(const ServerStatus &record)
{
    for (const auto &player : record.playerList) {
        std::size_t row = 0;
        while (row < m_playerRows.size() && m_playerRows[row].name != player.name)
            ++row;
        if (row == m_playerRows.size()) {
            m_playerRows.push_back({player.name, 0});
            m_display.insertPlayerRow(row, player.name);
        }
        m_display.setPlayerRow(row, player.score, player.deaths);
        m_playerRows[row].generation = m_listGeneration;
    }
    for (std::size_t row = m_playerRows.size(); row-- > 0;) {
        if (m_playerRows[row].generation != m_listGeneration) {
            m_playerRows.erase(m_playerRows.begin() + static_cast<std::ptrdiff_t>(row));
            m_display.removePlayerRow(row);
        }
    }
}

void MonitorCycle::showAutoAddon()
{
    const ServerStatus &record = m_status.record;
    const bool scanned = m_status.addonDatabaseReady && !m_scanRunning;
    set(MonitorField::AutoAddon, addonServerText(record, scanned, m_language));
    if (record.addonServerState != AddonServerState::Transferring || record.receivedChunks < record.expectedChunks ||
        !m_status.offeredList || m_scanRunning)
        return;
    // A fresh stream, so nothing of an earlier, longer list is left behind it.
    m_offeredList = MemoryStream(m_status.offeredList->size());
    m_offeredList.write(m_status.offeredList->data(), m_status.offeredList->size());
    m_offeredList.seek(0, SeekOrigin::Start);
    m_status.offeredList.reset();
    m_decisions.offeredListArrived();
}

void MonitorCycle::renameUnnamedServer(const std::string &shownDescription)
{
    if (shownDescription.empty())
        return;
    const auto selected = m_decisions.selectedServer();
    if (!selected || selected->name != selected->address)
        return;
    m_decisions.renameSelectedServer(shownDescription.starts_with(kDedicatedPrefix)
                                         ? shownDescription.substr(kDedicatedPrefix.size())
                                         : shownDescription);
}

} // namespace garrison
