#include "servers/GameFolderSearch.h"

#include "common/TextCompare.h"
#include "platform/DirectoryListing.h"
#include "platform/FileSystem.h"

#include <climits>
#include <cstdlib>
#include <sys/stat.h>

namespace garrison {

namespace {

constexpr const char *kStartFiles[] = {"OPERATIONFLASHPOINT.EXE", "FLASHPOINTRESISTANCE.EXE", "VBS1.BAT",
                                       "ColdWarAssault.exe"};

} // namespace

bool isGameStartFile(const std::string &name)
{
    for (const char *start : kStartFiles) {
        if (equalsNoCase(name, start))
            return true;
    }
    return false;
}

GameFolderSearch::GameFolderSearch(std::vector<std::string> roots) : m_roots(std::move(roots))
{
}

GameFolderSearch::~GameFolderSearch()
{
    stopAndWait();
}

void GameFolderSearch::stopAndWait()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}

void GameFolderSearch::start()
{
    if (m_searching)
        return;
    if (m_thread.joinable())
        m_thread.join();
    m_stop = false;
    {
        std::lock_guard guard(m_lock);
        m_found.clear();
        m_status.clear();
    }
    // Set before the thread runs, so nobody takes a search not yet begun for one that ended.
    m_searching = true;
    m_thread = std::thread([this] { run(); });
}

std::string GameFolderSearch::statusText() const
{
    std::lock_guard guard(m_lock);
    return m_status;
}

std::string GameFolderSearch::foundFolder() const
{
    std::lock_guard guard(m_lock);
    return m_found;
}

void GameFolderSearch::run()
{
    m_entered.clear();
    for (const auto &root : m_roots) {
        struct stat info {};
        const std::string real = realFolder(root);
        if (real.empty() || stat(real.c_str(), &info) != 0)
            continue;
        m_entered.emplace(info.st_dev, info.st_ino);
        if (!walk(real, real, info.st_dev))
            break;
    }
    m_searching = false;
}

// False ends the whole search: found, or stopped.
bool GameFolderSearch::walk(const std::string &folder, const std::string &root, std::uint64_t device)
{
    const auto entries = listDirectory(folder);
    if (!entries)
        return true;
    for (const auto &entry : *entries) {
        if (m_stop)
            return false;
        if (entry.hidden)
            continue;
        if (!entry.folder) {
            if (isGameStartFile(entry.name)) {
                // Found through a link, it is named by its real path.
                const std::string real = realFolder(folder);
                std::lock_guard guard(m_lock);
                m_found = real.empty() ? folder : real;
                return false;
            }
            continue;
        }
        // Another file system is a disk of its own; a link may not lead out of the root.
        if (entry.device != device || !m_entered.emplace(entry.device, entry.inode).second)
            continue;
        const std::string path = folder + entry.name + "/";
        if (entry.link && !realFolder(path).starts_with(root))
            continue;
        {
            std::lock_guard guard(m_lock);
            m_status = path;
        }
        if (!walk(path, root, device))
            return false;
    }
    return true;
}

} // namespace garrison
