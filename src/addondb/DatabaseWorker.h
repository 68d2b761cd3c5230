#pragma once

#include "addondb/AddonDatabase.h"
#include "addondb/DatabaseFile.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace garrison {

// The database's start-up work on a thread of its own at low priority: load
// the database file, deal with a change a crash cut short, scan the game
// folder, derive. The window polls done();
// ready() says the scan ran to its end (not stopped by Skip).
class DatabaseWorker {
public:
    explicit DatabaseWorker(AddonDatabase &database, std::string databasePath = DatabaseFile::kFileName)
        : m_database(database), m_databasePath(std::move(databasePath))
    {
    }
    ~DatabaseWorker() { join(); }
    DatabaseWorker(const DatabaseWorker &) = delete;
    DatabaseWorker &operator=(const DatabaseWorker &) = delete;

    // Before start(): the scan feeds packer for the save that follows it.
    void packAhead(PayloadPacker &packer) { m_packer = &packer; }
    void start();
    bool done() const { return m_done; }
    bool ready() const { return m_ready; }
    // Once done: what was done about changes a crash cut short, for the player.
    const std::vector<std::string> &notes() const { return m_notes; }
    // Waits until done or the time is up; gives done().
    bool waitFor(std::chrono::milliseconds limit);
    void join();

private:
    void run();

    AddonDatabase &m_database;
    std::string m_databasePath;
    PayloadPacker *m_packer = nullptr;
    std::thread m_thread;
    std::atomic<bool> m_done{false};
    std::mutex m_doneLock;
    std::condition_variable m_doneSignal;
    std::atomic<bool> m_ready{false};
    std::vector<std::string> m_notes;
};

} // namespace garrison
