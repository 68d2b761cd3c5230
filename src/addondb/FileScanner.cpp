#include "addondb/FileScanner.h"

#include "addondb/CrcPrefetch.h"
#include "addondb/DatabaseFile.h"
#include "addondb/FileTree.h"
#include "addondb/InactiveName.h"
#include "addondb/PayloadPacker.h"
#include "common/TextCompare.h"
#include "platform/DirectoryListing.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>

namespace garrison {

namespace {

constexpr std::size_t kProgressLength = 50;
// The progress line is for the eye; refreshing it every entry only costs time.
constexpr std::uint32_t kProgressEvery = 64;

bool existsIgnoringCase(const std::string &folder, const std::string &name)
{
    return findEntryIgnoringCase(folder, name).has_value();
}

} // namespace

std::size_t FileScanner::FoldedHash::operator()(std::string_view name) const
{
    std::size_t hash = 14695981039346656037ull;
    for (const char c : name)
        hash = (hash ^ foldCase(static_cast<unsigned char>(c))) * 1099511628211ull;
    return hash;
}

bool FileScanner::FoldedEqual::operator()(std::string_view a, std::string_view b) const
{
    return equalsNoCase(a, b);
}

void FileScanner::scan()
{
    m_generation = m_database.beginScanGeneration();
    m_newFiles.clear();
    m_database.setAborted(false);
    FileNode *root = m_database.root();
    if (!root)
        root = &m_database.makeRoot();
    root->setName(m_database.gameFolder());
    m_realGameFolder = realFolder(m_database.gameFolder());
    m_walkedFolders.clear();
    m_outsideDepth = 0;
    struct stat info {};
    if (stat(m_database.gameFolder().c_str(), &info) == 0)
        m_walkedFolders.emplace(info.st_dev, info.st_ino);
    m_packed = 0;
    m_crcs = std::make_unique<CrcPrefetch>();
    FolderSet planned = m_walkedFolders;
    if (plan(root, m_database.gameFolder(), {}, planned))
        walk(*root, m_database.gameFolder(), {});
    else
        m_database.setAborted(true);
    m_crcs.reset();
    m_listings.clear();
    reconcile();
}

void FileScanner::feedPacker(const FileNode &root)
{
    for (; m_packed < root.children.size() && root.children[m_packed]->mark == m_generation; ++m_packed)
        m_packer->feed(DatabaseFile::encodeRecord(*root.children[m_packed]));
}

void FileScanner::showProgress(const std::string &path)
{
    m_database.setProgressText(path.size() <= kProgressLength ? path
                                                              : "..." + path.substr(path.size() - kProgressLength));
}

bool FileScanner::walk(FileNode &folder, const std::string &nativeFolder, const std::string &relativeFolder)
{
    std::optional<std::vector<EntryInfo>> entries;
    if (const auto listed = m_listings.find(nativeFolder); listed != m_listings.end()) {
        entries = std::move(listed->second);
        m_listings.erase(listed);
    } else {
        entries = listDirectory(nativeFolder);
    }
    if (!entries)
        return true; // this folder only: the scan goes on
    ChildIndex index = indexChildren(folder);
    for (std::size_t at = 0; at < entries->size(); ++at) {
        if (m_packer && relativeFolder.empty())
            feedPacker(folder);
        const EntryInfo &entry = (*entries)[at];
        if (entry.folder && entry.name.starts_with("."))
            continue;
        if (m_database.takeAbortRequest()) {
            m_database.setAborted(true);
            return false;
        }
        if (entry.folder || m_visited++ % kProgressEvery == 0)
            showProgress(nativeFolder + entry.name);
        // The game reads only regular files; a pipe or a device is never opened.
        if (entry.hidden || entry.special)
            continue;
        if (!entry.folder)
            visitFile(folder, index, nativeFolder, relativeFolder, entry);
        else if (!visitFolder(folder, index, nativeFolder, relativeFolder, entry))
            return false;
    }
    return true;
}

FileScanner::ChildIndex FileScanner::indexChildren(const FileNode &folder)
{
    ChildIndex index;
    for (std::size_t i = 0; i < folder.children.size(); ++i)
        index.emplace(folder.children[i]->name(), i);
    return index;
}

FileNode *FileScanner::findFolder(const FileNode &folder, const ChildIndex &index, std::string_view name)
{
    const auto first = index.find(name);
    if (first == index.end())
        return nullptr;
    for (std::size_t i = first->second; i < folder.children.size(); ++i) {
        if (folder.children[i]->isFolder() && equalsNoCase(folder.children[i]->name(), name))
            return folder.children[i].get();
    }
    return nullptr;
}

bool FileScanner::maySameFile(const FileNode &candidate, std::string_view name, std::uint32_t size)
{
    return equalsNoCase(candidate.name(), name) && !candidate.isFolder() && candidate.size == size;
}

bool FileScanner::needsRead(const FileNode &folder, const ChildIndex &index, const EntryInfo &entry)
{
    const std::string name = logicalName(entry.name);
    const auto size = static_cast<std::uint32_t>(entry.size);
    const auto first = index.find(name);
    if (first == index.end())
        return true;
    for (std::size_t i = first->second; i < folder.children.size(); ++i) {
        const FileNode &candidate = *folder.children[i];
        if (maySameFile(candidate, name, size))
            return candidate.time != entry.time || candidate.diskName() != entry.name;
    }
    return true;
}

bool FileScanner::plan(const FileNode *folder, const std::string &nativeFolder, const std::string &relativeFolder,
                       FolderSet &entered)
{
    if (m_database.takeAbortRequest())
        return false;
    showProgress(nativeFolder);
    auto entries = listDirectory(nativeFolder);
    if (!entries)
        return true;
    const ChildIndex index = folder ? indexChildren(*folder) : ChildIndex{};
    std::vector<CrcPrefetch::File> files;
    for (const EntryInfo &entry : *entries) {
        if (entry.hidden || entry.special || (entry.folder && entry.name.starts_with(".")))
            continue;
        if (!entry.folder) {
            // Empty ones cost nothing to read here, and pipes and devices must not be opened twice.
            if (entry.size > 0 && !(relativeFolder.empty() && inSkipList(logicalName(entry.name))) &&
                (!folder || needsRead(*folder, index, entry)))
                files.push_back({nativeFolder + entry.name, entry.size});
            continue;
        }
        const std::string name = entry.name + "\\";
        if ((relativeFolder.empty() && inSkipList(name)) || !shouldEnter(nativeFolder, entry, entered))
            continue;
        // The walk reads what stands before a subfolder, then the subfolder.
        m_crcs->add(std::exchange(files, {}));
        if (!plan(folder ? findFolder(*folder, index, name) : nullptr, nativeFolder + entry.name + "/",
                  relativeFolder + name, entered))
            return false;
    }
    m_crcs->add(std::move(files));
    m_listings.emplace(nativeFolder, std::move(*entries));
    return true;
}

void FileScanner::visitFile(FileNode &folder, ChildIndex &index, const std::string &nativeFolder,
                            const std::string &relativeFolder, const EntryInfo &entry)
{
    const std::string name = logicalName(entry.name);
    // The skip list names top-level entries only.
    if (relativeFolder.empty() && inSkipList(name))
        return;
    const auto size = static_cast<std::uint32_t>(entry.size);
    std::optional<std::uint32_t> crc;
    const auto readCrc = [&] {
        if (!crc)
            crc = m_crcs->crc(nativeFolder + entry.name, entry.size);
        return crc;
    };

    NodeRef node;
    const auto first = index.find(name);
    if (first != index.end()) {
        for (std::size_t i = first->second; i < folder.children.size(); ++i) {
            const NodeRef &candidate = folder.children[i];
            if (!maySameFile(*candidate, name, size))
                continue;
            // Only the very file of the last scan may skip the read: two versions
            // of one add-on often share size and time, and the duplicate check
            // below must never take one for the other.
            const bool unchanged = candidate->time == entry.time && candidate->diskName() == entry.name;
            if (!unchanged) {
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
        index.emplace(node->name(), folder.children.size() - 1);
        m_newFiles.push_back(node);
    }
    seen(node);
    node->setDiskName(entry.name);
    node->status = equalsNoCase(entry.name, name) ? NodeStatus::Present : NodeStatus::Inactive;
}

bool FileScanner::shouldEnter(const std::string &nativeFolder, const EntryInfo &entry, FolderSet &entered) const
{
    if (entry.link) {
        // Never back into the game folder, nor up to a folder that holds it (such as "/"), nor
        // into the system's pseudo folders: the scan stays with the game's files.
        const std::string target = realFolder(nativeFolder + entry.name);
        if (target.empty() || m_realGameFolder.empty() || target.starts_with(m_realGameFolder) ||
            m_realGameFolder.starts_with(target) || target.starts_with("/proc/") || target.starts_with("/sys/") ||
            target.starts_with("/dev/") || target.starts_with("/run/"))
            return false;
    }
    return entered.emplace(entry.device, entry.inode).second;
}

bool FileScanner::visitFolder(FileNode &folder, ChildIndex &index, const std::string &nativeFolder,
                              const std::string &relativeFolder, const EntryInfo &entry)
{
    const std::string name = entry.name + "\\";
    if (relativeFolder.empty() && inSkipList(name))
        return true;
    if (!shouldEnter(nativeFolder, entry, m_walkedFolders))
        return true;
    NodeRef node(findFolder(folder, index, name));
    if (!node) {
        node = FileNode::makeFolder(name);
        insertChild(folder, node);
        index.emplace(node->name(), folder.children.size() - 1);
    }
    seen(node);
    node->status = NodeStatus::Present;
    // Below a link out of the game folder the files are someone else's: nothing is deleted there.
    const bool leaves = entry.link;
    m_outsideDepth += leaves;
    const bool walked = walk(*node, nativeFolder + entry.name + "/", relativeFolder + name);
    m_outsideDepth -= leaves;
    return walked;
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
    if (m_outsideDepth > 0)
        return;
    const std::string inactive = inactiveName(node.name(), node.crc);
    if (equalsNoCase(node.name(), inactive))
        return;
    if (existsIgnoringCase(nativeFolder, std::string(node.name())) && existsIgnoringCase(nativeFolder, inactive))
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
