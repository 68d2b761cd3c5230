#include "addondb/FileNode.h"

#include "common/SizeText.h"

namespace garrison {

FileNode::~FileNode()
{
    for (const NodeRef &child : children) {
        if (child->m_references.load(std::memory_order_acquire) > 1)
            child->parent = nullptr;
    }
}

NodeRef FileNode::makeFolder(std::string_view name)
{
    NodeRef node(new FileNode, NodeRef::Unshared{}); // nobody else has it yet
    node->m_name.assign(name);
    node->flags = NodeFlag::Folder;
    return node;
}

NodeRef FileNode::makeFile(std::string_view name, std::uint32_t size, std::uint32_t crc, FileTime time)
{
    NodeRef node(new FileNode, NodeRef::Unshared{}); // nobody else has it yet
    node->m_name.assign(name);
    node->size = size;
    node->crc = crc;
    node->time = time;
    return node;
}

void FileNode::setName(std::string_view name)
{
    if (!m_diskName && !isFolder())
        m_diskName = std::make_unique<std::string>(m_name.view());
    m_name.assign(name);
    if (isFolder() || (m_diskName && *m_diskName == m_name.view()))
        m_diskName.reset();
}

void FileNode::setDiskName(std::string_view diskName)
{
    if (diskName == m_name.view() || isFolder())
        m_diskName.reset();
    else if (m_diskName)
        m_diskName->assign(diskName);
    else
        m_diskName = std::make_unique<std::string>(diskName);
}

std::string FileNode::relativePath() const
{
    if (!parent)
        return {};
    return parent->relativePath().append(m_name.view());
}

std::string FileNode::fullPath() const
{
    const FileNode *root = this;
    while (root->parent)
        root = root->parent;
    return std::string(root->m_name.view()).append(root == this ? std::string() : relativePath());
}

std::string FileNode::parentRelativePath() const
{
    return parent ? parent->relativePath() : std::string();
}

std::string FileNode::parentPath() const
{
    return parent ? parent->fullPath() : std::string();
}

std::vector<std::string> FileNode::pathComponents() const
{
    std::vector<std::string> components;
    for (const FileNode *node = this; node->parent; node = node->parent)
        components.insert(components.begin(), std::string(node->m_name.view()));
    return components;
}

std::string FileNode::sizeText(std::string_view unit) const
{
    return garrison::sizeText(size, unit);
}

std::string FileNode::crcText() const
{
    return garrison::crcText(crc);
}

const char *FileNode::statusText() const
{
    switch (status) {
    case NodeStatus::Missing:
        return "Missing";
    case NodeStatus::Present:
        return "";
    case NodeStatus::Inactive:
        return "Inactive";
    case NodeStatus::DiffPath:
        return "Diff path";
    }
    return "";
}

} // namespace garrison
