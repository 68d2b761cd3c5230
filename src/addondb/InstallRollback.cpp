#include "addondb/InstallRollback.h"

#include "platform/FileSystem.h"

#include <algorithm>

namespace garrison {

InstallRollback::InstallRollback(AddonDatabase &database) : m_database(database), m_packages(database.packages())
{
}

void InstallRollback::touch(FileNode &node)
{
    if (m_touchedSet.insert(&node).second)
        m_touched.push_back(
            {&node, node.status, node.flags, node.packageCount, node.time, std::string(node.diskName())});
}

void InstallRollback::inserted(FileNode &parent, const NodeRef &node)
{
    m_inserted.emplace_back(&parent, node);
}

void InstallRollback::createdFile(std::string nativePath)
{
    m_files.push_back(std::move(nativePath));
}

void InstallRollback::createdFolder(std::string nativePath)
{
    m_folders.push_back(std::move(nativePath));
}

void InstallRollback::undo()
{
    for (const auto &path : m_files)
        deleteFile(path);
    // Innermost first; a folder that something else filled meanwhile stays.
    for (auto folder = m_folders.rbegin(); folder != m_folders.rend(); ++folder)
        removeFolder(*folder);
    for (auto item = m_inserted.rbegin(); item != m_inserted.rend(); ++item) {
        auto &children = item->first->children;
        children.erase(std::remove(children.begin(), children.end(), item->second), children.end());
    }
    for (const auto &state : m_touched) {
        state.node->status = state.status;
        state.node->flags = state.flags;
        state.node->packageCount = state.packageCount;
        state.node->time = state.time;
        state.node->setDiskName(state.diskName);
    }
    m_database.packages() = std::move(m_packages);
    m_files.clear();
    m_folders.clear();
    m_inserted.clear();
    m_touched.clear();
    m_touchedSet.clear();
}

} // namespace garrison
