#pragma once

#include "lang/LanguageTable.h"
#include "monitor/MasterClient.h"
#include "monitor/ServerSurvey.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace garrison {

enum class InternetColumn { Name, Players, Map, Mission, State, Ping, Version, Mods, Password, AutoAddon, Count };

struct InternetFilter {
    enum class Game { Any, Flashpoint, Resistance };
    Game game = Game::Any;
    bool notFull = false;
    bool notEmpty = false;
    bool noPassword = false;
    std::string version; // part of the version
    std::string mod;     // part of the mod list, any letter case
    std::string search;  // part of the name, map, mission or address, any letter case
};

struct InternetRow {
    SurveyedServer server;
    bool resistance = false; // listed for opflashr
    bool autoAddon = false;  // the central server lists it too
    std::string address;     // dotted, ":" and the game port: what Select hands back
};

// The browser's "Internet" source without its window: every configured
// master asked for both games, then every listed server, on a thread of its
// own; the rows filtered and sorted for the view.
class InternetBrowser {
public:
    struct Progress {
        bool running = false;
        std::size_t done = 0;              // servers asked and answered or given up
        std::size_t total = 0;             // servers listed
        std::vector<std::string> failures; // one line a master that gave no list
    };

    // masterHosts: "HOST[:PORT], ..."; gameKey answers their challenge.
    InternetBrowser(const std::string &masterHosts, const std::string &gameKey, const LanguageTable &language);
    // A run still going is told to stop and left to end on its own.
    ~InternetBrowser();
    InternetBrowser(const InternetBrowser &) = delete;
    InternetBrowser &operator=(const InternetBrowser &) = delete;

    bool hasMasters() const { return !m_masters.empty(); }
    // Masters written so that they cannot be asked, as the settings hold them.
    const std::vector<std::string> &badMasters() const { return m_badMasters; }
    void refresh(); // nothing while a run goes on
    Progress progress() const;
    // True once when a run has ended: its rows replace the shown ones.
    bool takeEndedRun();
    const std::vector<InternetRow> &rows() const { return m_rows; }
    // The addresses the central server lists ("a.b.c.d:port"): those rows have an Auto-Addon server.
    void markAutoAddon(const std::set<std::string> &addresses);

    // The rows that pass the filter, in the order of the column.
    std::vector<std::size_t> visible(const InternetFilter &filter, InternetColumn column, bool ascending) const;
    std::string cell(const InternetRow &row, InternetColumn column) const;

private:
    struct Run;

    std::vector<MasterRequest> m_masters;
    std::vector<std::string> m_badMasters;
    const LanguageTable &m_language;
    std::shared_ptr<Run> m_run;
    std::vector<InternetRow> m_rows;
    std::set<std::string> m_autoAddon;
};

} // namespace garrison
