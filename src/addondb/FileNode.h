#pragma once

#include "addondb/NodeName.h"
#include "platform/FileTime.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace garrison {

class FileNode;

// A counted reference to a node: one pointer, the count inside the node. A
// tree of 100,000 files holds one per node, so their size is the tree's.
class NodeRef {
public:
    NodeRef() = default;
    NodeRef(std::nullptr_t) {}
    explicit NodeRef(FileNode *node);
    // For a tree still being built, that no other thread can see yet: the
    // count goes up without the cost of an atomic operation.
    struct Unshared {};
    NodeRef(FileNode *node, Unshared);
    NodeRef(const NodeRef &other) : NodeRef(other.m_node) {}
    NodeRef(NodeRef &&other) noexcept : m_node(std::exchange(other.m_node, nullptr)) {}
    NodeRef &operator=(NodeRef other) noexcept
    {
        std::swap(m_node, other.m_node);
        return *this;
    }
    ~NodeRef();

    FileNode *get() const { return m_node; }
    FileNode &operator*() const { return *m_node; }
    FileNode *operator->() const { return m_node; }
    explicit operator bool() const { return m_node != nullptr; }
    void reset() { *this = NodeRef(); }
    friend bool operator==(const NodeRef &a, const NodeRef &b) { return a.m_node == b.m_node; }
    friend bool operator==(const NodeRef &a, std::nullptr_t) { return a.m_node == nullptr; }

private:
    FileNode *m_node = nullptr;
};

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
// the database file stores them. Owned by the references of its parent and of
// the packages that hold it; the parent pointer does not own, and a folder
// that goes while others still hold a child leaves that child without one.
class FileNode {
public:
    FileNode() = default;
    ~FileNode();
    FileNode(const FileNode &) = delete;
    FileNode &operator=(const FileNode &) = delete;

    static constexpr std::int32_t kRootPackageCount = 0x7fffffff;

    FileNode *parent = nullptr;
    std::uint32_t mark = 0;
    NodeStatus status = NodeStatus::Present;
    std::uint16_t flags = 0;
    std::int32_t packageCount = 0;
    std::uint32_t size = 0;
    std::uint32_t crc = 0;

private:
    friend class NodeRef;
    std::atomic<std::uint32_t> m_references{0}; // here, where it fills what would be padding

public:
    FileTime time = 0;
    std::vector<NodeRef> children;

    static NodeRef makeFolder(std::string_view name);
    static NodeRef makeFile(std::string_view name, std::uint32_t size, std::uint32_t crc, FileTime time);

    std::string_view name() const { return m_name.view(); }
    void setName(std::string_view name);
    // The name on disk: the inactive name while the file is inactive.
    std::string_view diskName() const { return m_diskName ? std::string_view(*m_diskName) : m_name.view(); }
    void setDiskName(std::string_view diskName);

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
    NodeName m_name;
    // None while it equals the name, which is nearly always.
    std::unique_ptr<std::string> m_diskName;
};

inline NodeRef::NodeRef(FileNode *node) : m_node(node)
{
    if (m_node)
        m_node->m_references.fetch_add(1, std::memory_order_relaxed);
}

inline NodeRef::NodeRef(FileNode *node, Unshared) : m_node(node)
{
    if (m_node) {
        auto &count = m_node->m_references;
        count.store(count.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
    }
}

inline NodeRef::~NodeRef()
{
    if (m_node && m_node->m_references.fetch_sub(1, std::memory_order_acq_rel) == 1)
        delete m_node;
}

} // namespace garrison
