#include "addondb/FileTree.h"

#include "common/TextCompare.h"

namespace garrison {

namespace {

FileNode *findAtPath(const FileNode &root, std::string_view path, bool includeMissing, bool needPresent,
                     std::uint32_t size, std::uint32_t crc)
{
    const auto components = splitRelativePath(path);
    const FileNode *folder = &root;
    for (std::size_t level = 0; level < components.size(); ++level) {
        const bool last = level + 1 == components.size();
        const FileNode *next = nullptr;
        for (const auto &child : folder->children) {
            if (!equalsNoCase(child->name(), components[level]))
                continue;
            if (!last) {
                if (child->isFolder()) {
                    next = child.get();
                    break;
                }
                continue;
            }
            if (needPresent) {
                if (child->status == NodeStatus::Present)
                    return child.get();
                continue;
            }
            if ((child->status != NodeStatus::Missing || includeMissing) &&
                (child->isFolder() || (child->size == size && child->crc == crc)))
                return child.get();
        }
        if (!next)
            return nullptr;
        folder = next;
    }
    return nullptr;
}

void flattenInto(const FileNode &folder, std::vector<FileNode *> &out)
{
    for (const auto &child : folder.children) {
        out.push_back(child.get());
        flattenInto(*child, out);
    }
}

} // namespace

std::vector<std::string_view> splitRelativePath(std::string_view path)
{
    std::vector<std::string_view> components;
    while (!path.empty()) {
        const auto slash = path.find('\\');
        const auto length = slash == std::string_view::npos ? path.size() : slash + 1;
        components.push_back(path.substr(0, length));
        path.remove_prefix(length);
    }
    return components;
}

FileNode *findByPathAndIdentity(const FileNode &root, std::string_view path, std::uint32_t size, std::uint32_t crc,
                                bool includeMissing)
{
    return findAtPath(root, path, includeMissing, false, size, crc);
}

FileNode *findPresentByPath(const FileNode &root, std::string_view path)
{
    return findAtPath(root, path, false, true, 0, 0);
}

FileNode *searchByIdentity(const FileNode &folder, std::string_view name, std::uint32_t size, std::uint32_t crc)
{
    for (const auto &child : folder.children) {
        if (!equalsNoCase(child->name(), name)) {
            if (auto *found = searchByIdentity(*child, name, size, crc))
                return found;
            continue;
        }
        if (child->status != NodeStatus::Missing && (child->isFolder() || (child->size == size && child->crc == crc)))
            return child.get();
    }
    return nullptr;
}

std::vector<FileNode *> flatten(const FileNode &folder)
{
    std::vector<FileNode *> out;
    flattenInto(folder, out);
    return out;
}

int countAddonFiles(const FileNode &folder)
{
    int count = 0;
    for (const auto &child : folder.children) {
        if (child->isFolder())
            count += countAddonFiles(*child);
        else if (child->status != NodeStatus::Missing && endsWithNoCase(child->name(), ".pbo"))
            ++count;
    }
    return count;
}

std::int64_t prune(FileNode &node)
{
    std::int64_t weight = node.packageCount;
    auto &children = node.children;
    for (std::size_t i = 0; i < children.size();) {
        const std::int64_t childWeight = prune(*children[i]);
        if (childWeight == 0) {
            children[i]->parent = nullptr;
            children.erase(children.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            weight += childWeight;
            ++i;
        }
    }
    return weight;
}

void forgetTimes(FileNode &folder)
{
    for (const auto &child : folder.children) {
        child->time = 0;
        forgetTimes(*child);
    }
}

void insertChild(FileNode &folder, NodeRef child)
{
    child->parent = &folder;
    folder.children.push_back(std::move(child));
}

FileNode *findChild(const FileNode &folder, std::string_view name, bool wantFolder)
{
    for (const auto &child : folder.children) {
        if (child->isFolder() == wantFolder && equalsNoCase(child->name(), name))
            return child.get();
    }
    return nullptr;
}

} // namespace garrison
