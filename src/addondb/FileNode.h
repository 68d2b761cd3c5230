#pragma once

#include "platform/FileTime.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace garrison {

class FileNode;
using NodeRef = std::shared_ptr<FileNode>;

enum class NodeStatus : std::uint16_t {
    Missing = 0,
    Present = 1,
    Inactive = 2,
    DiffPath = 3, // offered-package trees only: installed under another path
};

namespace NodeFlag {
inline constexpr std::uint16_t Core = 0x02;
inline constexpr std::uint16_t UnknownFile = 0x04;
inline constexpr std::uint16_t UnknownAddon = 0x08;
inline constexpr std::uint16_t Folder = 0x10;
inline constexpr std::uint16_t DeleteMark = 0x20;
inline constexpr std::uint16_t KeptFolder = 0x80;
inline constexpr std::uint16_t StandardPackages = Core | UnknownFile | UnknownAddon;
} // namespace NodeFlag

// What the program last knew about one file or folder below the game folder
// (or of an offered package). Names use "\" and folder names end with it, as
// the database file stores them. Owned by the shared references of its parent
// and of the packages that hold it; the parent pointer does not own.
class FileNode {
public:
    static constexpr std::int32_t kRootPackageCount = 0x7fffffff;

    FileNode *parent = nullptr;
    std::uint32_t mark = 0;
    NodeStatus status = NodeStatus::Present;
    std::uint16_t flags = 0;
    std::int32_t packageCount = 0;
    std::uint32_t size = 0;
    std::uint32_t crc = 0;
    FileTime time = 0;
    std::vector<NodeRef> children;

    static NodeRef makeFolder(std::string name);
    static NodeRef makeFile(std::string name, std::uint32_t size, std::uint32_t crc, FileTime time);

    const std::string &name() const { return m_name; }
    void setName(std::string name);
    // The name on disk: the inactive name while the file is inactive.
    const std::string &diskName() const { return m_diskName.empty() ? m_name : m_diskName; }
    void setDiskName(const std::string &diskName);

    bool isFolder() const { return flags & NodeFlag::Folder; }
    bool has(std::uint16_t flag) const { return flags & flag; }

    // Names of the ancestors below the root and the node's own: "addons\x.pbo".
    std::string relativePath() const;
    // The root's name (the game folder) and the relative path.
    std::string fullPath() const;
    std::string parentRelativePath() const;
    std::string parentPath() const;
    // The relative path as names, outermost first.
    std::vector<std::string> pathComponents() const;

    std::string sizeText(std::string_view unit) const;
    std::string crcText() const;
    const char *statusText() const;

private:
    std::string m_name;
    // Empty while it equals the name, which is nearly always.
    std::string m_diskName;
};

} // namespace garrison
