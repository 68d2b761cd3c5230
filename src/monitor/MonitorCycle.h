#pragma once

#include "common/MemoryStream.h"
#include "lang/LanguageTable.h"
#include "monitor/MonitorDecisions.h"
#include "monitor/MonitorDisplay.h"
#include "monitor/ServerStatus.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace garrison {

// The main window's heartbeat, run every 500 ms on the UI thread: shows the
// status record, announces game-state changes, rings the alarm or launches
// the game when a game ends, runs the elapsed clock, keeps the player list,
// shows the Auto-Addon progress and hands a received package list over.
class MonitorCycle {
public:
    static constexpr std::uint32_t kTickMs = 500;
    static constexpr int kAlarmSound = 161;
    // A server silent this long since it was chosen is said to be so.
    static constexpr std::uint32_t kSilenceMs = 10000;

    MonitorCycle(MonitorDisplay &display, MonitorDecisions &decisions, StatusStore &status,
                 const LanguageTable &language, MemoryStream &offeredList);

    // One tick of the monitor timer.
    void tick(std::uint32_t now);

    // A network server is selected and its address resolved.
    void setMonitoring(bool monitoring)
    {
        m_monitoring = monitoring;
        m_silentSince.reset();
    }
    // Another server was selected: the window emptied its player list.
    void selectionChanged()
    {
        m_playerRows.clear();
        m_silentSince.reset();
        m_silenceShown = false;
    }
    // The Auto-Addon server offers a needed package that is missing.
    void setDownloadsWanted(bool wanted) { m_downloadsWanted = wanted; }
    bool downloadsWanted() const { return m_downloadsWanted; }
    // The database scan began; after two seconds the progress dialog shows.
    void scanStarted(std::uint32_t now);

    std::uint32_t tickCounter() const { return m_tickCounter; }

private:
    void showNews();
    void watchScan(std::uint32_t now);
    void showRecord(ServerStatus &record, std::uint32_t now);
    void announce(ServerStatus &record);
    void showElapsed(ServerStatus &record, std::uint32_t now);
    void showPlayers(const ServerStatus &record);
    void showAutoAddon();
    void showSilence(const ServerStatus &record, std::uint32_t now);
    void renameUnnamedServer(const std::string &shownDescription);
    void set(MonitorField field, const std::string &text) { m_display.setFieldText(field, text); }
    std::string text(const char *label) const { return m_language.Resolve(label); }

    MonitorDisplay &m_display;
    MonitorDecisions &m_decisions;
    StatusStore &m_status;
    const LanguageTable &m_language;
    MemoryStream &m_offeredList;

    std::uint32_t m_tickCounter = 0;
    std::uint32_t m_listGeneration = 0;
    bool m_monitoring = false;
    bool m_downloadsWanted = false;
    bool m_notify = false;
    bool m_launch = false;
    bool m_pictureStarted = false;
    bool m_scanRunning = false;
    std::optional<std::uint32_t> m_scanStart;
    std::optional<std::uint32_t> m_silentSince; // monitoring and no answer yet
    bool m_silenceShown = false;

    struct PlayerRow {
        std::string name;
        std::uint32_t generation;
    };
    std::vector<PlayerRow> m_playerRows;
};

} // namespace garrison
