#pragma once

#include "addondb/AddonDatabase.h"
#include "addondb/CrcPrefetch.h"
#include "platform/FileSystem.h"

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace garrison {

class PayloadPacker;

// Brings the tree in line with the game folder: known files are recognised by
// name, size and time (their contents are read only when the time changed),
// new ones are added to a standard package, vanished ones become Missing, and
// an add-on file that moved stays in its package. Every folder is walked at
// most once: a link to a folder inside the game folder is not followed (its
// files are listed under their own path), one to a folder outside is
// followed once, and nothing below it is ever deleted.
class FileScanner {
public:
    explicit FileScanner(AddonDatabase &database) : m_database(database) {}

    // One walk and the reconciliation after it (also after a stopped walk).
    void scan();
    // Hands each top-level entry's records to packer once it is walked, for a
    // save that follows the scan.
    void packAhead(PayloadPacker &packer) { m_packer = &packer; }

private:
    struct FoldedHash {
        std::size_t operator()(std::string_view name) const;
    };
    struct FoldedEqual {
        bool operator()(std::string_view a, std::string_view b) const;
    };
    // The first child of one folder with each name (ignoring case); later
    // children of the same name follow it in the child list.
    using ChildIndex = std::unordered_map<std::string_view, std::size_t, FoldedHash, FoldedEqual>;

    using FolderSet = std::set<std::pair<std::uint64_t, std::uint64_t>>; // device and inode

    // Lists every folder the walk will enter before it starts, and hands the
    // files it will read to the helper thread in the order the walk takes
    // them: the helper reads while the listing goes on. folder is the tree's
    // node of nativeFolder, if it has one. False when the scan was stopped.
    bool plan(const FileNode *folder, const std::string &nativeFolder, const std::string &relativeFolder,
              FolderSet &entered);
    bool walk(FileNode &folder, const std::string &nativeFolder, const std::string &relativeFolder);
    bool shouldEnter(const std::string &nativeFolder, const EntryInfo &entry, FolderSet &entered) const;
    void visitFile(FileNode &folder, ChildIndex &index, const std::string &nativeFolder,
                   const std::string &relativeFolder, const EntryInfo &entry);
    bool visitFolder(FileNode &folder, ChildIndex &index, const std::string &nativeFolder,
                     const std::string &relativeFolder, const EntryInfo &entry);
    static ChildIndex indexChildren(const FileNode &folder);
    static FileNode *findFolder(const FileNode &folder, const ChildIndex &index, std::string_view name);
    static bool maySameFile(const FileNode &candidate, std::string_view name, std::uint32_t size);
    // False when the file is the very one of the last scan, known without a read.
    static bool needsRead(const FileNode &folder, const ChildIndex &index, const EntryInfo &entry);
    // The root's children that this scan has walked, in child order, up to
    // the first it has not reached.
    void feedPacker(const FileNode &root);
    void showProgress(const std::string &path);
    void seen(const NodeRef &node);
    void deleteDuplicate(const FileNode &node, const std::string &nativeFolder, const EntryInfo &entry);
    void reconcile();

    AddonDatabase &m_database;
    std::uint32_t m_generation = 0;
    std::uint32_t m_visited = 0;
    std::vector<NodeRef> m_newFiles;
    PayloadPacker *m_packer = nullptr;
    std::size_t m_packed = 0;                                           // root's children fed to the packer
    std::unique_ptr<CrcPrefetch> m_crcs;                                // while walking
    std::unordered_map<std::string, std::vector<EntryInfo>> m_listings; // by folder, until walked
    std::string m_realGameFolder;                                       // resolved, ending in "/"
    FolderSet m_walkedFolders;
    int m_outsideDepth = 0; // > 0 while below a link that leaves the game folder
};

} // namespace garrison
