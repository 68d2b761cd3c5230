#include "addondb/DatabaseWorker.h"

#include "addondb/FileScanner.h"
#include "addondb/JournalRecovery.h"
#include "platform/ThreadPriority.h"

namespace garrison {

void DatabaseWorker::start()
{
    join();
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
    DatabaseFile::load(m_database, m_databasePath);
    m_notes = openChangeJournal(m_database, m_databasePath);
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
