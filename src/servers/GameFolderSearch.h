#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace garrison {

// One of the files that make a folder the game's (the case does not matter).
bool isGameStartFile(const std::string &name);

// Looks for the game's folder through whole folder trees on a thread of its
// own: the roots in order, each depth first in listing order, hidden
// folders skipped, links followed only where they stay inside the root, and
// every folder entered once, so a link loop ends.
class GameFolderSearch {
public:
    explicit GameFolderSearch(std::vector<std::string> roots);
    // Stops a running search and waits for it.
    ~GameFolderSearch();
    GameFolderSearch(const GameFolderSearch &) = delete;
    GameFolderSearch &operator=(const GameFolderSearch &) = delete;

    // Starts afresh from the first root; nothing while a search runs.
    void start();
    // The walk ends at the next entry it looks at.
    void stop() { m_stop = true; }
    void stopAndWait();
    bool searching() const { return m_searching; }
    // The folder being looked into.
    std::string statusText() const;
    // After the search: the folder holding a start file ("/" at its end), or empty.
    std::string foundFolder() const;

private:
    void run();
    bool walk(const std::string &folder, const std::string &root, std::uint64_t device);

    std::vector<std::string> m_roots;
    std::atomic<bool> m_searching{false};
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_lock;
    std::string m_status;
    std::string m_found;
    std::set<std::pair<std::uint64_t, std::uint64_t>> m_entered;
    std::thread m_thread;
};

} // namespace garrison
