#include "addondb/PackageOperations.h"

#include "addondb/FileTree.h"
#include "common/TextCompare.h"
#include "platform/FileSystem.h"
#include "platform/NativePath.h"

#include <algorithm>

namespace garrison {

namespace {

bool nameTaken(const AddonDatabase &database, const std::string &name, const Package *except)
{
    return std::any_of(database.packages().begin(), database.packages().end(),
                       [&](const Package &package) { return &package != except && equalsNoCase(package.name, name); });
}

// The selected packages that may be changed, as pointers, so removing one
// does not shift the others.
std::vector<Package *> changeable(AddonDatabase &database, const std::vector<std::size_t> &indexes)
{
    std::vector<Package *> selected;
    for (const auto index : indexes) {
        if (index < database.packages().size() && !database.isStandard(index))
            selected.push_back(&database.packages()[index]);
    }
    return selected;
}

void removePackages(AddonDatabase &database, const std::vector<Package *> &gone)
{
    auto &packages = database.packages();
    std::vector<Package> kept;
    kept.reserve(packages.size());
    for (auto &package : packages) {
        if (std::find(gone.begin(), gone.end(), &package) == gone.end())
            kept.push_back(std::move(package));
    }
    packages = std::move(kept);
}

// Deletes the marked nodes below folder, deepest first; the count of those
// that are gone (or kept as non-empty folders).
int deleteMarked(AddonDatabase &database, FileNode &folder)
{
    int count = 0;
    for (const auto &child : folder.children) {
        if (child->isFolder())
            count += deleteMarked(database, *child);
        if (!child->has(NodeFlag::DeleteMark))
            continue;
        child->flags &= ~NodeFlag::DeleteMark;
        if (child->isFolder()) {
            auto path = nativePath(database.gameFolder(), child->relativePath());
            if (!path)
                continue;
            path->pop_back();
            const FsStatus result = removeFolder(*path);
            if (result == FsStatus::Ok) {
                child->status = NodeStatus::Missing;
                ++count;
            } else if (result == FsStatus::NotEmpty) {
                child->flags |= NodeFlag::KeptFolder;
                ++count;
            }
        } else {
            const auto path = nativePath(database.gameFolder(), child->parentRelativePath().append(child->diskName()));
            if (path && deleteFile(*path) == FsStatus::Ok) {
                child->status = NodeStatus::Missing;
                ++count;
            }
        }
    }
    return count;
}

bool uninstall(AddonDatabase &database, Package &package)
{
    int marked = 0;
    for (const auto &node : package.files) {
        if (node->packageCount == 1 && node->status != NodeStatus::Missing && !node->has(NodeFlag::DeleteMark)) {
            node->flags |= NodeFlag::DeleteMark;
            ++marked;
        }
    }
    if (deleteMarked(database, *database.root()) != marked)
        return false;
    for (auto node = package.files.rbegin(); node != package.files.rend(); ++node) {
        --(*node)->packageCount;
        if ((*node)->has(NodeFlag::KeptFolder)) {
            (*node)->flags &= ~NodeFlag::KeptFolder;
            database.assignStandardPackage(*node);
        }
    }
    package.files.clear();
    return true;
}

} // namespace

void bindFiles(AddonDatabase &database, const std::vector<ShownFile> &files, std::size_t target)
{
    auto &packages = database.packages();
    if (target >= packages.size())
        return;
    for (const auto &[node, shownUnder] : files) {
        // A file is listed once in a package, however often it was chosen.
        if (shownUnder >= packages.size() || !packages[shownUnder].holds(node.get()) ||
            packages[target].holds(node.get()))
            continue;
        packages[target].add(node);
        database.leaveUnknownPackage(*node);
    }
}

void unbindFiles(AddonDatabase &database, const std::vector<ShownFile> &files)
{
    auto &packages = database.packages();
    for (const auto &[node, shownUnder] : files) {
        if (shownUnder >= packages.size() || database.isStandard(shownUnder) ||
            !packages[shownUnder].release(node.get()))
            continue;
        if (node->packageCount == 0)
            database.assignStandardPackage(node);
    }
}

PackageNameCheck newPackage(AddonDatabase &database, const std::string &name, const std::string &comment,
                            const std::vector<ShownFile> &files)
{
    if (name.empty())
        return PackageNameCheck::Empty;
    if (nameTaken(database, name, nullptr))
        return PackageNameCheck::Taken;
    Package package;
    package.name = name;
    package.comment = comment;
    package.installDate = currentFileTime();
    database.packages().push_back(std::move(package));
    bindFiles(database, files, database.packages().size() - 1);
    return PackageNameCheck::Ok;
}

PackageNameCheck editPackage(AddonDatabase &database, std::size_t package, const std::string &name,
                             const std::string &comment)
{
    if (package >= database.packages().size() || database.isStandard(package))
        return PackageNameCheck::Taken;
    Package &edited = database.packages()[package];
    if (nameTaken(database, name, &edited))
        return PackageNameCheck::Taken;
    edited.name = name;
    edited.comment = comment;
    return PackageNameCheck::Ok;
}

void dissolvePackages(AddonDatabase &database, const std::vector<std::size_t> &packages)
{
    const auto selected = changeable(database, packages);
    for (Package *package : selected) {
        while (!package->files.empty()) {
            const NodeRef node = package->files.back();
            package->files.pop_back();
            --node->packageCount;
            if (node->packageCount == 0 && node->status != NodeStatus::Missing)
                database.assignStandardPackage(node);
        }
    }
    removePackages(database, selected);
}

std::vector<bool> uninstallPackages(AddonDatabase &database, const std::vector<std::size_t> &packages)
{
    std::vector<bool> results;
    std::vector<Package *> removed;
    for (const auto index : packages) {
        const bool allowed = index < database.packages().size() && !database.isStandard(index) && database.root();
        Package *package = allowed ? &database.packages()[index] : nullptr;
        const bool done = package && database.journal().beginUninstall(package->name, package->installDate) &&
                          uninstall(database, *package);
        results.push_back(done);
        if (done)
            removed.push_back(package);
    }
    removePackages(database, removed);
    if (database.root())
        prune(*database.root());
    database.findAddonFolders();
    database.derive();
    return results;
}

} // namespace garrison
