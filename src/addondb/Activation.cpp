#include "addondb/Activation.h"

#include "addondb/FileTree.h"
#include "addondb/InactiveName.h"
#include "common/TextCompare.h"
#include "common/WordSplit.h"
#include "platform/FileSystem.h"
#include "platform/FolderRename.h"
#include "platform/NativePath.h"

namespace garrison {

FsStatus Activation::move(const std::string &folder, const std::string &from, const std::string &to)
{
    // Recorded first: a crash after the rename can still take it back.
    if (!m_database.journal().rename(folder + from, folder + to))
        return FsStatus::Failed;
    return renameInFolder(folder, from, to);
}

bool Activation::rename(FileNode &node, const std::string &to)
{
    const auto folder = nativePath(m_database.gameFolder(), node.parentRelativePath());
    if (!folder)
        return false;
    return move(*folder, std::string(node.diskName()), to) == FsStatus::Ok;
}

void Activation::deactivate(FileNode &node)
{
    if (node.isFolder() || node.status != NodeStatus::Present)
        return;
    const std::string inactive = inactiveName(node.name(), node.crc);
    if (!rename(node, inactive))
        return;
    node.status = NodeStatus::Inactive;
    node.setDiskName(inactive);
}

void Activation::activate(FileNode &node)
{
    if (node.isFolder() || node.status != NodeStatus::Inactive)
        return;
    const auto folder = nativePath(m_database.gameFolder(), node.parentRelativePath());
    if (!folder)
        return;
    FsStatus result = move(*folder, std::string(node.diskName()), std::string(node.name()));
    if (result == FsStatus::AlreadyExists && node.parent) {
        // Another version holds the name: switch it off if we know it.
        for (const auto &sibling : node.parent->children) {
            if (sibling.get() == &node || sibling->isFolder() || sibling->status != NodeStatus::Present ||
                !equalsNoCase(sibling->name(), node.name()))
                continue;
            deactivate(*sibling);
            result = move(*folder, std::string(node.diskName()), std::string(node.name()));
            break;
        }
    }
    if (result != FsStatus::Ok)
        return;
    node.status = NodeStatus::Present;
    node.setDiskName(node.name());
}

void Activation::deactivatePackage(const Package &package)
{
    for (const auto &node : package.files)
        deactivate(*node);
}

void Activation::activatePackage(const Package &package)
{
    for (const auto &node : package.files)
        activate(*node);
}

std::vector<FileNode *> Activation::searchFolders(const std::string &modList) const
{
    std::vector<FileNode *> folders;
    std::string_view rest = modList;
    while (!rest.empty()) {
        const auto semicolon = rest.find(';');
        const std::string_view name = trimWordSeparators(rest.substr(0, semicolon));
        rest.remove_prefix(semicolon == std::string_view::npos ? rest.size() : semicolon + 1);
        if (name.empty())
            continue;
        for (FileNode *mod : m_database.modFolders()) {
            if (equalsNoCase(mod->name(), std::string(name) + "\\")) {
                folders.insert(folders.begin(), mod);
                break;
            }
        }
    }
    if (m_database.resFolder())
        folders.push_back(m_database.resFolder());
    if (m_database.root())
        folders.push_back(m_database.root());
    return folders;
}

void Activation::activateForServer(const std::string &modList, bool noActivation, const OfferedList &offered)
{
    const auto folders = searchFolders(modList);
    for (const auto &package : offered.packages) {
        for (const auto &file : package.files) {
            if (file->isFolder())
                continue;
            std::string path = file->relativePath();
            const auto components = splitRelativePath(path);
            // A leading mod folder or "res\" of the server's layout is dropped.
            if (components.size() > 1 && !equalsNoCase(components[0], "addons\\") &&
                (equalsNoCase(components[0], "res\\") || !m_database.stock().contains(components[0])))
                path.erase(0, components[0].size());
            for (FileNode *folder : folders) {
                FileNode *node = findByPathAndIdentity(*folder, path, file->size, file->crc, false);
                if (!node)
                    continue;
                if (!noActivation)
                    activate(*node);
                break;
            }
        }
    }
    for (const auto &entry : offered.deactivations) {
        for (FileNode *folder : folders) {
            if (FileNode *node = findByPathAndIdentity(*folder, entry.name, entry.size, entry.crc, false))
                deactivate(*node);
            // Anywhere below its "addons\": every copy, not only the first.
            if (const FileNode *addons = findChild(*folder, "addons\\", true)) {
                for (FileNode *node : flatten(*addons)) {
                    if (!node->isFolder() && node->size == entry.size && node->crc == entry.crc &&
                        equalsNoCase(node->name(), entry.name))
                        deactivate(*node);
                }
            }
        }
    }
}

} // namespace garrison
