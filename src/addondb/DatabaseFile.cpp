#include "addondb/DatabaseFile.h"

#include "addondb/FileTree.h"
#include "addondb/PayloadPacker.h"
#include "common/ByteReader.h"
#include "common/LittleEndian.h"
#include "common/TextCompare.h"
#include "platform/FileSystem.h"
#include "platform/WholeFile.h"

#include <libdeflate.h>

#include <memory>
#include <unordered_map>

namespace garrison::DatabaseFile {

namespace {

constexpr std::uint32_t kVersion = 1;
constexpr std::uint8_t kFolderRecord = 1;
constexpr std::uint8_t kFileRecord = 2;
constexpr std::uint8_t kEndOfList = 3;
// Deeper than any path the game can use; a deeper file is not believed.
constexpr std::size_t kMaxDepth = 512;
// zlib never expands data by more than about this factor.
constexpr std::uint64_t kMaxInflation = 1032;

class PayloadWriter {
public:
    std::vector<std::uint8_t> bytes;
    // Each node's place in pre-order, for the package lists; none when they are not written.
    std::unordered_map<const FileNode *, std::uint32_t> *sequence = nullptr;

    void text(std::string_view value)
    {
        bytes.insert(bytes.end(), value.begin(), value.end());
        bytes.push_back(0);
    }
    template <typename T>
    void value(T v)
    {
        appendLittleEndian(bytes, v);
    }

    void list(const FileNode &folder)
    {
        for (const auto &child : folder.children)
            record(*child);
        bytes.push_back(kEndOfList);
    }

    void record(const FileNode &node)
    {
        if (sequence)
            sequence->emplace(&node, static_cast<std::uint32_t>(sequence->size()));
        bytes.push_back(node.isFolder() ? kFolderRecord : kFileRecord);
        text(node.name());
        if (!node.isFolder())
            text(node.diskName());
        value(static_cast<std::uint16_t>(node.status));
        value(node.packageCount);
        value(node.flags);
        if (node.isFolder()) {
            list(node);
            return;
        }
        value(node.size);
        value(node.crc);
        value(node.time);
    }
};

} // namespace

std::vector<std::uint8_t> encodePayload(AddonDatabase &database)
{
    FileNode *root = database.root();
    if (!root)
        return {};
    prune(*root);
    root->setName(database.gameFolder());
    std::unordered_map<const FileNode *, std::uint32_t> sequence;
    PayloadWriter out;
    out.sequence = &sequence;
    out.bytes.reserve(4096);
    out.list(*root);
    out.value(static_cast<std::uint32_t>(database.packages().size()));
    for (const auto &package : database.packages()) {
        out.text(package.name);
        out.value(package.installDate);
        out.text(package.comment);
        out.text(package.text3);
        out.text(package.text4);
        std::vector<std::uint32_t> files;
        for (const auto &node : package.files) {
            // A node outside the tree has no number to be stored under.
            const auto found = sequence.find(node.get());
            if (found != sequence.end())
                files.push_back(found->second);
        }
        out.value(static_cast<std::uint32_t>(files.size()));
        for (const auto number : files)
            out.value(number);
    }
    return std::move(out.bytes);
}

std::vector<std::uint8_t> encodeRecord(const FileNode &node)
{
    PayloadWriter out;
    out.record(node);
    return std::move(out.bytes);
}

bool decodePayload(std::span<const std::uint8_t> payload, AddonDatabase &database)
{
    ByteReader in(payload);
    NodeRef root = FileNode::makeFolder(database.gameFolder());
    root->packageCount = FileNode::kRootPackageCount;
    // Nodes by their place in the payload; a node takes some 70 bytes of it.
    std::vector<FileNode *> index;
    index.reserve(payload.size() / 64);
    std::vector<FileNode *> folders = {root.get()};
    while (!folders.empty()) {
        std::uint8_t type = 0;
        if (!in.read(type))
            return false;
        if (type == kEndOfList) {
            folders.pop_back();
            continue;
        }
        std::string_view name, diskName;
        std::uint16_t status = 0, flags = 0;
        std::int32_t count = 0;
        in.readText(name);
        if (type == kFileRecord)
            in.readText(diskName);
        in.read(status);
        in.read(count);
        in.read(flags);
        NodeRef node;
        if (type == kFileRecord) {
            std::uint32_t size = 0, crc = 0;
            std::uint64_t time = 0;
            in.read(size);
            in.read(crc);
            in.read(time);
            // The disk's letter case wins when the two differ only in case.
            const bool sameName = name == diskName || equalsNoCase(name, diskName);
            node = FileNode::makeFile(sameName ? diskName : name, size, crc, time);
            node->flags = static_cast<std::uint16_t>(flags & ~NodeFlag::Folder);
            if (diskName != node->name())
                node->setDiskName(diskName);
        } else {
            node = FileNode::makeFolder(name);
            node->flags = static_cast<std::uint16_t>(flags | NodeFlag::Folder);
        }
        if (!in.ok())
            return false;
        node->status = static_cast<NodeStatus>(status);
        node->packageCount = count;
        index.push_back(node.get());
        insertChild(*folders.back(), std::move(node));
        if (type != kFileRecord) {
            if (folders.size() > kMaxDepth)
                return false;
            folders.push_back(index.back());
        }
    }

    std::uint32_t packageCount = 0;
    if (!in.read(packageCount) || packageCount < kStandardPackageCount)
        return false;
    std::vector<Package> packages;
    std::vector<FileNode *> files; // one buffer for every package
    for (std::uint32_t p = 0; p < packageCount; ++p) {
        Package package;
        std::uint32_t fileCount = 0;
        in.readText(package.name);
        in.read(package.installDate);
        in.readText(package.comment);
        in.readText(package.text3);
        in.readText(package.text4);
        if (!in.read(fileCount) || fileCount > in.remaining() / 4)
            return false;
        files.clear();
        for (std::uint32_t f = 0; f < fileCount; ++f) {
            std::uint32_t number = 0;
            in.read(number);
            if (number >= index.size())
                return false;
            files.push_back(index[number]);
        }
        // Counting a reference writes to the node, and most are no longer in
        // the cache by now: ask for them a little ahead.
        constexpr std::size_t kAhead = 16;
        package.files.reserve(files.size());
        for (std::size_t f = 0; f < files.size(); ++f) {
            if (f + kAhead < files.size())
                __builtin_prefetch(files[f + kAhead], 1);
            package.files.emplace_back(files[f], NodeRef::Unshared{});
        }
        if (!in.ok())
            return false;
        packages.push_back(std::move(package));
    }

    database.makeRoot().children = std::move(root->children);
    for (const auto &child : database.root()->children)
        child->parent = database.root();
    database.packages() = std::move(packages);
    database.nameStandardPackages();
    database.findAddonFolders();
    return true;
}

bool load(AddonDatabase &database, const std::string &path)
{
    const auto file = readWholeFile(path);
    if (!file || file->size() < 8)
        return false;
    const ByteReader header(*file);
    if (header.at<std::uint32_t>(0) != kVersion)
        return false;
    const std::uint32_t length = header.at<std::uint32_t>(4);
    if (length > (file->size() - 8) * kMaxInflation + 64)
        return false;
    // Not cleared first: the unpacker writes every byte that is used.
    const auto payload = std::make_unique_for_overwrite<std::uint8_t[]>(length);
    // The same zlib stream, unpacked by the faster library.
    const std::unique_ptr<libdeflate_decompressor, decltype(&libdeflate_free_decompressor)> unpacker(
        libdeflate_alloc_decompressor(), libdeflate_free_decompressor);
    std::size_t produced = 0, consumed = 0;
    if (!unpacker || libdeflate_zlib_decompress_ex(unpacker.get(), file->data() + 8, file->size() - 8, payload.get(),
                                                   length, &consumed, &produced) != LIBDEFLATE_SUCCESS)
        return false;
    return decodePayload({payload.get(), produced}, database);
}

bool save(AddonDatabase &database, const std::string &path, const std::string &temporary, PayloadPacker *packer)
{
    const auto payload = encodePayload(database);
    if (payload.empty())
        return false;
    const auto packed = packer ? packer->pack(payload) : PayloadPacker::packAtOnce(payload);
    if (!packed)
        return false;
    std::vector<std::uint8_t> file;
    file.reserve(8 + packed->size());
    appendLittleEndian(file, kVersion);
    appendLittleEndian(file, static_cast<std::uint32_t>(payload.size()));
    file.insert(file.end(), packed->begin(), packed->end());
    // A bare temporary name lives beside the database: the rename stays on its file system.
    const bool bare = temporary.find('/') == std::string::npos;
    if (!replaceFile(path, bare ? besideFile(path, temporary) : temporary, file))
        return false;
    // The file now says what the disk holds: nothing left to undo.
    database.journal().clear();
    return true;
}

} // namespace garrison::DatabaseFile
