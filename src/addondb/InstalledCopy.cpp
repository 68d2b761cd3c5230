#include "addondb/InstalledCopy.h"

#include "addondb/FileTree.h"
#include "common/TextCompare.h"

namespace garrison {

FileNode *findInstalledCopy(AddonDatabase &database, std::string_view relativePath, std::uint32_t size,
                            std::uint32_t crc)
{
    const FileNode *root = database.root();
    if (!root)
        return nullptr;
    if (auto *hit = findByPathAndIdentity(*root, relativePath, size, crc, false))
        return hit;

    const auto components = splitRelativePath(relativePath);
    if (components.empty())
        return nullptr;
    const bool addon =
        equalsNoCase(components[0], "addons\\") || (components.size() > 1 && equalsNoCase(components[1], "addons\\"));
    if (addon) {
        const std::string_view fileName = components.back();
        std::vector<const FileNode *> folders = {database.addonsFolder(), database.resAddonsFolder()};
        for (const auto *folder : database.modAddonFolders())
            folders.push_back(folder);
        for (const auto *folder : folders) {
            if (!folder)
                continue;
            if (auto *hit = searchByIdentity(*folder, fileName, size, crc))
                return hit;
        }
        return nullptr;
    }

    std::string_view path = relativePath;
    if (components.size() > 1 && !database.stock().contains(components[0]))
        path.remove_prefix(components[0].size());
    std::vector<const FileNode *> bases = {root, database.resFolder()};
    for (const auto *folder : database.modFolders())
        bases.push_back(folder);
    for (const auto *base : bases) {
        if (!base)
            continue;
        if (auto *hit = findByPathAndIdentity(*base, path, size, crc, false))
            return hit;
    }
    return nullptr;
}

} // namespace garrison
