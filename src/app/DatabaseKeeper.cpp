#include "app/DatabaseKeeper.h"

#include "addondb/OfferedBlock.h"
#include "app/AfterInstall.h"
#include "autoaddon/OfferedModel.h"
#include "platform/FileSystem.h"
#include "servers/GameFolder.h"

namespace garrison {

DatabaseKeeper::DatabaseKeeper(const LanguageTable &language, std::string databaseFile)
    : m_database(language), m_file(std::move(databaseFile))
{
}

DatabaseKeeper::~DatabaseKeeper()
{
    stop();
}

void DatabaseKeeper::start(const Options &options, MainView &view)
{
    const std::string &folder = options.gameFolder;
    switch (decideAddonStart(options.autoAddonEnabled, folder, pathExists(m_file))) {
    case AddonStart::FirstScan:
        view.showFirstRun();
        [[fallthrough]];
    case AddonStart::Scan:
        m_database.setGameFolder(folder);
        m_worker = std::make_unique<DatabaseWorker>(m_database, m_file);
        m_worker->start();
        // Counted from the first tick: the time spent in the path dialog and
        // the first-run message is no part of the scan.
        m_scanAwaitsTick = true;
        break;
    case AddonStart::Listing:
        m_database.setGameFolder(folder);
        m_database.useListing();
        break;
    case AddonStart::Nothing:
        break;
    }
}

void DatabaseKeeper::stop()
{
    if (!m_worker)
        return;
    m_database.requestAbort();
    m_worker->join();
    m_worker.reset();
}

std::vector<std::string> DatabaseKeeper::finishScan()
{
    m_worker->join();
    m_ready = m_worker->ready();
    auto notes = m_worker->notes();
    m_worker.reset();
    return notes;
}

void DatabaseKeeper::forgetOfferedList(bool installExisting)
{
    // The player's "Install existing files" is no part of a server's list.
    m_database.offered() = OfferedList{};
    m_database.offered().installExistingFiles = installExisting;
}

std::optional<bool> DatabaseKeeper::takeUpWaitingList(const MemoryStream &offeredList, bool installExisting)
{
    if (!m_listWaiting || m_managerOpen)
        return std::nullopt;
    m_listWaiting = false;
    if (!m_ready)
        return std::nullopt;
    forgetOfferedList(installExisting);
    parseOfferedBlock(std::span(offeredList.data(), offeredList.size()), m_database.offered());
    evaluateArrivedList(m_database.offered(), m_database);
    return downloadsWanted();
}

bool DatabaseKeeper::downloadsWanted()
{
    return garrison::downloadsWanted(m_database.offered(), m_database);
}

Failure DatabaseKeeper::save()
{
    return saveDatabase(m_database, m_file);
}

} // namespace garrison
