#include "addondb/FileScanner.h"

#include "addondb/FileCrc.h"
#include "addondb/FileTree.h"
#include "addondb/InactiveName.h"
#include "common/TextCompare.h"
#include "platform/DirectoryListing.h"
#include "platform/FileSystem.h"

#include <algorithm>

namespace garrison {

namespace {

constexpr std::size_t kProgressLength = 50;

std::string folded(std::string_view name)
{
    std::string key(name);
    for (auto &c : key)
        c = static_cast<char>(foldCase(static_cast<unsigned char>(c)));
    return key;
}

bool existsIgnoringCase(const std::string &folder, const std::string &name)
{
    return findEntryIgnoringCase(folder, name).has_value();
}

} // namespace

void FileScanner::scan()
{
    m_generation = m_database.beginScanGeneration();
    m_newFiles.clear();
    m_database.setAborted(false);
    FileNode *root = m_database.root();
    if (!root)
        root = &m_database.makeRoot();
    root->setName(m_database.gameFolder());
    walk(*root, m_database.gameFolder(), {});
    reconcile();
}

void FileScanner::showProgress(const std::string &path)
{
    m_database.setProgressText(path.size() <= kProgressLength ? path
                                                              : "..." + path.substr(path.size() - kProgressLength));
}

bool FileScanner::walk(FileNode &folder, const std::string &nativeFolder, const std::string &relativeFolder)
{
    const auto entries = listDirectory(nativeFolder);
    if (!entries)
        return true; // this folder only: the scan goes on
    ChildIndex index;
    for (const auto &child : folder.children)
        index[folded(child->name())].push_back(child);
    for (const auto &entry : *entries) {
        if (entry.folder && entry.name.starts_with("."))
            continue;
        if (m_database.takeAbortRequest()) {
            m_database.setAborted(true);
            return false;
        }
        showProgress(nativeFolder + entry.name);
        if (entry.hidden)
            continue;
        if (!entry.folder)
            visitFile(folder, index, nativeFolder, relativeFolder, entry);
        else if (!visitFolder(folder, index, nativeFolder, relativeFolder, entry))
            return false;
    }
    return true;
}

void FileScanner::visitFile(FileNode &folder, ChildIndex &index, const std::string &nativeFolder,
                            const std::string &relativeFolder, const EntryInfo &entry)
{
    const std::string name = logicalName(entry.name);
    if (inSkipList(relativeFolder + name))
        return;
    const auto size = static_cast<std::uint32_t>(entry.size);
    std::optional<std::uint32_t> crc;
    const auto readCrc = [&] {
        if (!crc)
            crc = fileCrc(nativeFolder + entry.name);
        return crc;
    };

    NodeRef node;
    const auto candidates = index.find(folded(name));
    if (candidates != index.end()) {
        for (const NodeRef &candidate : candidates->second) {
            if (candidate->isFolder() || candidate->size != size)
                continue;
            if (candidate->time != entry.time) {
                const auto contents = readCrc();
                if (!contents)
                    return; // unreadable: left as it was for this scan
                if (*contents != candidate->crc)
                    continue;
                candidate->time = entry.time;
            }
            if (candidate->mark == m_generation) {
                deleteDuplicate(*candidate, nativeFolder, entry);
                return;
            }
            node = candidate;
            break;
        }
    }
    if (!node) {
        if (!readCrc())
            return;
        node = FileNode::makeFile(name, size, *crc, entry.time);
        insertChild(folder, node);
        index[folded(name)].push_back(node);
        m_newFiles.push_back(node);
    }
    seen(node);
    node->setDiskName(entry.name);
    node->status = equalsNoCase(entry.name, name) ? NodeStatus::Present : NodeStatus::Inactive;
}

bool FileScanner::visitFolder(FileNode &folder, ChildIndex &index, const std::string &nativeFolder,
                              const std::string &relativeFolder, const EntryInfo &entry)
{
    const std::string name = entry.name + "\\";
    const std::string relative = relativeFolder + name;
    if (inSkipList(relative))
        return true;
    NodeRef node;
    const auto candidates = index.find(folded(name));
    if (candidates != index.end()) {
        const auto found = std::find_if(candidates->second.begin(), candidates->second.end(),
                                        [](const NodeRef &child) { return child->isFolder(); });
        if (found != candidates->second.end())
            node = *found;
    }
    if (!node) {
        node = FileNode::makeFolder(name);
        insertChild(folder, node);
        index[folded(name)].push_back(node);
    }
    seen(node);
    node->status = NodeStatus::Present;
    return walk(*node, nativeFolder + entry.name + "/", relative);
}

void FileScanner::seen(const NodeRef &node)
{
    node->mark = m_generation;
    // New, or dropped by an earlier stopped scan of this run: no package holds
    // it, so a standard one takes it (again).
    if (node->packageCount == 0) {
        node->flags &= ~NodeFlag::StandardPackages;
        m_database.assignStandardPackage(node);
    }
}

void FileScanner::deleteDuplicate(const FileNode &node, const std::string &nativeFolder, const EntryInfo &entry)
{
    const std::string inactive = inactiveName(node.name(), node.crc);
    if (equalsNoCase(node.name(), inactive))
        return;
    if (existsIgnoringCase(nativeFolder, node.name()) && existsIgnoringCase(nativeFolder, inactive))
        deleteFile(nativeFolder + entry.name);
}

void FileScanner::reconcile()
{
    m_database.stock().release();
    auto &packages = m_database.packages();
    const auto unseen = [&](const NodeRef &node) {
        return node->mark != m_generation;
    };

    for (std::size_t standard = 0; standard < kStandardPackageCount && standard < packages.size(); ++standard) {
        auto &files = packages[standard].files;
        for (std::size_t i = files.size(); i-- > 0;) {
            if (!unseen(files[i]))
                continue;
            files[i]->status = NodeStatus::Missing;
            --files[i]->packageCount;
            files.erase(files.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }

    for (std::size_t p = kStandardPackageCount; p < packages.size(); ++p) {
        auto &files = packages[p].files;
        for (std::size_t i = files.size(); i-- > 0;) {
            const NodeRef old = files[i];
            if (!unseen(old))
                continue;
            old->status = NodeStatus::Missing;
            // An add-on file that moved: the new node of the same file takes its place.
            const auto moved = std::find_if(m_newFiles.begin(), m_newFiles.end(), [&](const NodeRef &node) {
                return node->crc == old->crc && node->size == old->size && equalsNoCase(node->name(), old->name());
            });
            if (moved == m_newFiles.end())
                continue;
            const NodeRef replacement = *moved;
            files[i] = replacement;
            --old->packageCount;
            ++replacement->packageCount;
            m_database.leaveUnknownPackage(*replacement);
            if (old->packageCount == 0 || (old->packageCount == 1 && old->has(NodeFlag::Core)))
                m_newFiles.erase(moved);
        }
    }
    m_database.findAddonFolders();
    m_newFiles.clear();
}

} // namespace garrison
