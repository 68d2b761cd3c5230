#pragma once

#include "addondb/AddonDatabase.h"
#include "addondb/DatabaseWorker.h"
#include "app/MainView.h"
#include "common/Failure.h"
#include "common/MemoryStream.h"
#include "servers/Settings.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace garrison {

// The main window's add-on database: the scan (or listing) at start, the
// offered list a server sends, taken up when the Manager is not at work on
// the old one, and the saves.
class DatabaseKeeper {
public:
    DatabaseKeeper(const LanguageTable &language, std::string databaseFile);
    ~DatabaseKeeper();
    DatabaseKeeper(const DatabaseKeeper &) = delete;
    DatabaseKeeper &operator=(const DatabaseKeeper &) = delete;

    // The scan or the listing the options ask for; a first scan shows the first-run message first.
    void start(const Options &options, MainView &view);
    // A running scan is cut short and waited for.
    void stop();
    bool scanRunning() const { return m_worker != nullptr; }
    bool scanHasEnded() const { return m_worker && m_worker->done(); }
    // Waits for the ended scan; the notes it left for the player.
    std::vector<std::string> finishScan();
    // True once, on the first tick after the scan started.
    bool takeScanStart() { return std::exchange(m_scanAwaitsTick, false); }
    void skipScan() { m_database.requestAbort(); }

    bool ready() const { return m_ready; }
    AddonDatabase &database() { return m_database; }
    const AddonDatabase &database() const { return m_database; }
    const std::string &file() const { return m_file; }

    // A new server: no list, and the player's "Install existing files" kept.
    void forgetOfferedList(bool installExisting);
    // The monitor cycle wrote a list: it is taken up after the tick, and
    // not while the Manager works on the old one (a download, too).
    void listArrived() { m_listWaiting = true; }
    void managerOpening() { m_managerOpen = true; }
    void managerClosed() { m_managerOpen = false; }
    // The waiting list parsed and evaluated; whether downloads are wanted, when one was taken up.
    std::optional<bool> takeUpWaitingList(const MemoryStream &offeredList, bool installExisting);
    bool downloadsWanted();

    Failure save();

private:
    AddonDatabase m_database;
    std::string m_file;
    std::unique_ptr<DatabaseWorker> m_worker;
    bool m_ready = false;
    bool m_scanAwaitsTick = false;
    bool m_listWaiting = false;
    bool m_managerOpen = false;
};

} // namespace garrison
