#include "addondb/DatabaseWorker.h"

#include "addondb/FileScanner.h"
#include "addondb/JournalRecovery.h"
#include "platform/FileSystem.h"
#include "platform/ThreadPriority.h"

#include <ctime>

namespace garrison {

namespace {

// Now, as a file name part: 20261211-091500.
std::string timeStamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

} // namespace

void DatabaseWorker::start()
{
    join();
    m_notes.clear();
    m_done = false;
    m_ready = false;
    m_thread = std::thread([this] { run(); });
}

void DatabaseWorker::join()
{
    if (m_thread.joinable())
        m_thread.join();
}

void DatabaseWorker::run()
{
    lowerCurrentThreadPriority();
    // An empty file holds nothing to lose.
    const auto info = entryInfo(m_databasePath);
    const bool there = info && info->size > 0;
    if (!DatabaseFile::load(m_database, m_databasePath) && there) {
        // The scan would save over it: the player's packages are kept aside instead.
        const std::string aside = m_databasePath + ".unreadable-" + timeStamp();
        const bool kept = renameNoReplace(m_databasePath, aside) == FsStatus::Ok;
        m_notes.push_back(kept ? DatabaseFile::kFileName + std::string(" could not be read; it is kept as ") +
                                     aside.substr(aside.rfind('/') + 1) + " and the game folder is scanned anew"
                               : DatabaseFile::kFileName + std::string(" could not be read, nor be kept aside"));
    }
    const auto undone = openChangeJournal(m_database, m_databasePath);
    m_notes.insert(m_notes.end(), undone.begin(), undone.end());
    FileScanner scanner(m_database);
    if (m_packer)
        scanner.packAhead(*m_packer);
    scanner.scan();
    m_database.derive();
    m_ready = !m_database.aborted();
    {
        std::lock_guard guard(m_doneLock);
        m_done = true;
    }
    m_doneSignal.notify_all();
}

bool DatabaseWorker::waitFor(std::chrono::milliseconds limit)
{
    std::unique_lock guard(m_doneLock);
    return m_doneSignal.wait_for(guard, limit, [&] { return m_done.load(); });
}

} // namespace garrison
