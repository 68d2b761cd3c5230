#pragma once

#include "addondb/AddonDatabase.h"

#include <string>
#include <unordered_set>
#include <vector>

namespace garrison {

// What one installation changed, so that a failed one can be taken back:
// the files and folders it created on disk, the nodes it added to the tree,
// the nodes it changed and the package list as it was.
class InstallRollback {
public:
    explicit InstallRollback(AddonDatabase &database);

    // Call before the first change of a node that existed before.
    void touch(FileNode &node);
    void inserted(FileNode &parent, const NodeRef &node);
    void createdFile(std::string nativePath);
    void createdFolder(std::string nativePath);

    // Removes what was created and puts the database back as it was.
    void undo();

private:
    struct NodeState {
        FileNode *node;
        NodeStatus status;
        std::uint16_t flags;
        std::int32_t packageCount;
        FileTime time;
        std::string diskName;
    };

    AddonDatabase &m_database;
    std::vector<Package> m_packages;
    std::vector<NodeState> m_touched;
    std::unordered_set<const FileNode *> m_touchedSet;
    std::vector<std::pair<FileNode *, NodeRef>> m_inserted;
    std::vector<std::string> m_files;
    std::vector<std::string> m_folders;
};

} // namespace garrison
