#include "addondb/PackageArchive.h"

#include "addondb/Activation.h"
#include "addondb/FileTree.h"
#include "addondb/InactiveName.h"
#include "common/TextCompare.h"
#include "platform/DirectoryListing.h"
#include "platform/FileHandle.h"
#include "platform/FileSystem.h"
#include "platform/NativePath.h"

#include <minizip/unzip.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <cctype>
#include <ctime>
#include <new>
#include <system_error>
#include <vector>

namespace garrison {

struct PackageArchive::Entry {
    std::string name; // "\" between folders
    std::uint32_t size = 0;
    std::uint32_t crc = 0;
    tm_unz date{};
    unz_file_pos position{};
    bool folder() const { return !name.empty() && name.back() == '\\'; }
};

namespace {

constexpr std::size_t kBlock = 64 * 1024;

unzFile handle(void *zip)
{
    return static_cast<unzFile>(zip);
}

bool isSeparator(char c)
{
    return c == '\\' || c == '/';
}

// The folders and the file name of a target; empty and "." components mean
// nothing and are dropped.
std::vector<std::string> components(const std::string &path)
{
    std::vector<std::string> parts;
    std::string part;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i < path.size() && !isSeparator(path[i])) {
            part += path[i];
            continue;
        }
        if (!part.empty() && part != ".")
            parts.push_back(std::move(part));
        part.clear();
    }
    return parts;
}

bool hasDriveLetter(const std::string &path)
{
    return path.size() > 1 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]));
}

// A path that would leave the game folder: a ".." component, a drive letter
// or a network path. A single leading "\\" means the game folder itself.
bool leavesGameFolder(const std::string &path)
{
    if (hasDriveLetter(path) || (path.size() > 1 && isSeparator(path[0]) && isSeparator(path[1])))
        return true;
    const auto parts = components(path);
    return std::any_of(parts.begin(), parts.end(), [](const std::string &part) { return part == ".."; });
}

// A member name meant as a path inside the archive must not be absolute.
bool absoluteMemberName(const std::string &name)
{
    return (!name.empty() && isSeparator(name.front())) || hasDriveLetter(name);
}

std::string shortened(const std::string &name)
{
    constexpr std::size_t kShown = 60;
    return name.size() <= kShown ? name : name.substr(0, kShown) + "...";
}

std::string systemError()
{
    return std::error_code(errno, std::generic_category()).message();
}

// The archive's date, taken as local time.
FileTime fileTimeOf(const tm_unz &date)
{
    std::tm local{};
    local.tm_year = static_cast<int>(date.tm_year) - 1900;
    local.tm_mon = static_cast<int>(date.tm_mon);
    local.tm_mday = static_cast<int>(date.tm_mday);
    local.tm_hour = static_cast<int>(date.tm_hour);
    local.tm_min = static_cast<int>(date.tm_min);
    local.tm_sec = static_cast<int>(date.tm_sec);
    local.tm_isdst = -1;
    timespec moment{};
    moment.tv_sec = std::mktime(&local);
    return fileTimeFromTimespec(moment);
}

} // namespace

PackageArchive::PackageArchive(AddonDatabase &database, std::string archivePath)
    : m_database(database), m_archivePath(std::move(archivePath)), m_zip(unzOpen(m_archivePath.c_str()))
{
}

PackageArchive::~PackageArchive()
{
    if (m_zip)
        unzClose(handle(m_zip));
}

bool PackageArchive::fail(std::string reason)
{
    m_failure = std::move(reason);
    return false;
}

bool PackageArchive::readEntries()
{
    m_entries.clear();
    for (int result = unzGoToFirstFile(handle(m_zip)); result != UNZ_END_OF_LIST_OF_FILE;
         result = unzGoToNextFile(handle(m_zip))) {
        if (result != UNZ_OK)
            return fail("the archive's list of files cannot be read");
        // The name's real length first: no name is cut or left unterminated.
        unz_file_info info{};
        if (unzGetCurrentFileInfo(handle(m_zip), &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
            return fail("the archive's list of files cannot be read");
        Entry entry;
        entry.name.resize(info.size_filename);
        if (unzGetCurrentFileInfo(handle(m_zip), &info, entry.name.data(), info.size_filename, nullptr, 0, nullptr,
                                  0) != UNZ_OK)
            return fail("the archive's list of files cannot be read");
        if (entry.name.size() > kMaxNameLength)
            return fail("the name of the member \"" + shortened(entry.name) + "\" is longer than " +
                        std::to_string(kMaxNameLength) + " characters, more than the game can use");
        if (entry.name.find('\0') != std::string::npos)
            return fail("the name of the member \"" + shortened(entry.name.c_str()) + "\" holds a NUL");
        std::replace(entry.name.begin(), entry.name.end(), '/', '\\');
        entry.size = static_cast<std::uint32_t>(info.uncompressed_size);
        entry.crc = static_cast<std::uint32_t>(info.crc);
        entry.date = info.tmu_date;
        unzGetFilePos(handle(m_zip), &entry.position);
        m_entries.push_back(std::move(entry));
    }
    return true;
}

bool PackageArchive::readInstructions()
{
    const auto found = std::find_if(m_entries.begin(), m_entries.end(), [](const Entry &entry) {
        return !entry.folder() && equalsNoCase(entry.name, "auto-addon.txt");
    });
    std::string text;
    if (found != m_entries.end()) {
        const std::string tooLarge =
            "auto-addon.txt is larger than " + std::to_string(kMaxInstructionBytes / 1024) + " KiB";
        // The size the archive states may lie: read in blocks and stop at the cap.
        if (found->size > kMaxInstructionBytes)
            return fail(tooLarge);
        if (unzGoToFilePos(handle(m_zip), const_cast<unz_file_pos *>(&found->position)) != UNZ_OK ||
            unzOpenCurrentFile(handle(m_zip)) != UNZ_OK)
            return fail("auto-addon.txt cannot be read");
        char block[4096];
        int read = 0;
        while ((read = unzReadCurrentFile(handle(m_zip), block, sizeof block)) > 0 &&
               text.size() <= kMaxInstructionBytes)
            text.append(block, static_cast<std::size_t>(read));
        const int closed = unzCloseCurrentFile(handle(m_zip));
        if (text.size() > kMaxInstructionBytes)
            return fail(tooLarge);
        if (read < 0 || closed != UNZ_OK)
            return fail("auto-addon.txt cannot be read");
    }
    auto instructions = parseInstallInstructions(text);
    if (!instructions)
        return fail("auto-addon.txt is malformed");
    m_instructions = std::move(*instructions);
    m_packageName = m_instructions.packageName.empty() ? defaultPackageName(m_archivePath) : m_instructions.packageName;
    return true;
}

const InstallRule *PackageArchive::ruleFor(const std::string &path) const
{
    for (const auto &rule : m_instructions.rules) {
        if (matchesPattern(rule.pattern, path))
            return &rule;
    }
    return nullptr;
}

std::string PackageArchive::targetPath(const Entry &entry, const InstallRule &rule) const
{
    std::string target;
    if (rule.kind == InstallRule::Kind::InstallPath || rule.kind == InstallRule::Kind::ExtractPath)
        target = entry.name;
    else if (!rule.folder.empty() && rule.folder.back() == '\\')
        target = rule.folder + entry.name.substr(entry.name.rfind('\\') + 1);
    else
        target = rule.folder;
    const std::string &redirect = m_database.offered().installRedirect;
    if (!redirect.empty()) {
        for (std::size_t at = 0; at + 7 <= target.size(); ++at) {
            if (equalsNoCase(std::string_view(target).substr(at, 7), "addons\\")) {
                target = redirect + target.substr(at + 7);
                break;
            }
        }
    }
    return target;
}

bool PackageArchive::checkTargets()
{
    std::uint64_t written = 0;
    for (const auto &entry : m_entries) {
        if (entry.folder())
            continue;
        const InstallRule *rule = ruleFor(entry.name);
        if (!rule || rule->kind == InstallRule::Kind::Ignore)
            continue;
        const bool ownPath =
            rule->kind == InstallRule::Kind::InstallPath || rule->kind == InstallRule::Kind::ExtractPath;
        const std::string target = targetPath(entry, *rule);
        if ((ownPath && absoluteMemberName(entry.name)) || leavesGameFolder(target))
            return fail("the archive would write \"" + shortened(entry.name) + "\" outside the game folder");
        if (components(target).empty())
            return fail("the archive names no file to write for \"" + shortened(entry.name) + "\"");
        written += entry.size;
    }
    struct statvfs space {};
    if (statvfs(m_database.gameFolder().c_str(), &space) == 0 &&
        static_cast<std::uint64_t>(space.f_bavail) * space.f_frsize < written)
        return fail("not enough free space in the game folder for " + std::to_string(written / 1048576 + 1) + " MB");
    return true;
}

FileNode *PackageArchive::folderFor(const std::vector<std::string> &folders, std::size_t package)
{
    auto &packages = m_database.packages();
    FileNode *current = m_database.root();
    for (const auto &name : folders) {
        const std::string folderName = name + "\\";
        NodeRef node;
        for (const auto &child : current->children) {
            if (child->isFolder() && equalsNoCase(child->name(), folderName)) {
                node = child;
                break;
            }
        }
        if (node && packages[package].holds(node.get())) {
            current = node.get();
            continue;
        }
        const bool created = !node;
        if (created) {
            node = FileNode::makeFolder(folderName);
            insertChild(*current, node);
            m_rollback->inserted(*current, node);
            if (m_database.stock().contains(node->relativePath())) {
                node->flags |= NodeFlag::Core;
                packages[kCorePackage].add(node);
            }
        } else {
            m_rollback->touch(*node);
            m_database.leaveUnknownPackage(*node);
        }
        if (created || node->status == NodeStatus::Missing) {
            node->status = NodeStatus::Present;
            // The spelling on disk, ignoring case: never "addons/" beside "AddOns/".
            const auto path = nativePath(m_database.gameFolder(), node->relativePath());
            if (!path)
                return nullptr;
            const std::string folder = path->substr(0, path->size() - 1);
            const FsStatus made = createFolder(folder);
            if (made == FsStatus::Ok)
                m_rollback->createdFolder(folder);
            else if (made != FsStatus::AlreadyExists)
                return nullptr;
        }
        if (!node->has(NodeFlag::Core))
            packages[package].add(node);
        current = node.get();
    }
    return current;
}

bool PackageArchive::extract(const Entry &entry, FileNode &node, std::atomic<std::uint64_t> &bytesDone)
{
    node.setDiskName(inactiveName(node.name(), node.crc));
    node.status = NodeStatus::Inactive;
    const auto folder = nativePath(m_database.gameFolder(), node.parentRelativePath());
    if (!folder || unzGoToFilePos(handle(m_zip), const_cast<unz_file_pos *>(&entry.position)) != UNZ_OK ||
        unzOpenCurrentFile(handle(m_zip)) != UNZ_OK)
        return fail("\"" + entry.name + "\" cannot be read from the archive");
    const std::string path = *folder + std::string(node.diskName());
    // Never over a file that is there already, whatever the case of its name.
    if (findEntryIgnoringCase(*folder, std::string(node.diskName()))) {
        unzCloseCurrentFile(handle(m_zip));
        return fail("\"" + path + "\" exists already and is not in the add-on database");
    }
    FileHandle file(path, FileHandle::Mode::CreateNew);
    if (!file.isOpen()) {
        const std::string why = systemError();
        unzCloseCurrentFile(handle(m_zip));
        return fail("\"" + path + "\" cannot be created: " + why);
    }
    m_rollback->createdFile(path);
    std::vector<char> block(kBlock);
    while (true) {
        const int read = unzReadCurrentFile(handle(m_zip), block.data(), static_cast<unsigned>(block.size()));
        if (read < 0) {
            unzCloseCurrentFile(handle(m_zip));
            return fail("\"" + entry.name + "\" is damaged in the archive");
        }
        if (read == 0)
            break;
        if (file.write(block.data(), static_cast<std::size_t>(read)) != read) {
            const std::string why = systemError();
            unzCloseCurrentFile(handle(m_zip));
            return fail("\"" + path + "\" cannot be written: " + why);
        }
        bytesDone += static_cast<std::uint64_t>(read);
    }
    file.close();
    // Read to its end, the member's CRC is checked: a damaged add-on is not installed.
    if (unzCloseCurrentFile(handle(m_zip)) != UNZ_OK)
        return fail("\"" + entry.name + "\" fails its CRC check");
    node.time = fileTimeOf(entry.date);
    setFileModificationTime(path, node.time);
    return true;
}

bool PackageArchive::installEntry(const Entry &entry, std::size_t package, std::atomic<std::uint64_t> &bytesDone,
                                  const OfferedPackage *offered)
{
    if (entry.folder())
        return true;
    const InstallRule *rule = ruleFor(entry.name);
    if (!rule)
        return true;
    if (rule->kind == InstallRule::Kind::Ignore) {
        bytesDone += entry.size;
        return true;
    }
    auto parts = components(targetPath(entry, *rule));
    const std::string fileName = parts.back();
    parts.pop_back();
    FileNode *folder = folderFor(parts, package);
    if (!folder)
        return fail("a folder for \"" + entry.name + "\" cannot be created");

    auto &packages = m_database.packages();
    NodeRef node;
    for (const auto &child : folder->children) {
        if (!child->isFolder() && child->size == entry.size && child->crc == entry.crc &&
            equalsNoCase(child->name(), fileName)) {
            node = child;
            break;
        }
    }
    if (node) {
        if (packages[package].holds(node.get())) {
            bytesDone += entry.size;
            return true;
        }
        m_rollback->touch(*node);
        m_database.leaveUnknownPackage(*node);
        if (node->status == NodeStatus::Missing) {
            if (!extract(entry, *node, bytesDone))
                return false;
        } else {
            bytesDone += entry.size;
        }
    } else if (offered && !m_database.offered().installExistingFiles) {
        for (FileNode *match : offered->matches) {
            if (match && !match->isFolder() && match->crc == entry.crc && match->size == entry.size &&
                equalsNoCase(match->name(), fileName)) {
                node = match->parent ? *std::find_if(match->parent->children.begin(), match->parent->children.end(),
                                                     [&](const NodeRef &child) { return child.get() == match; })
                                     : nullptr;
                break;
            }
        }
        if (node) {
            m_rollback->touch(*node);
            bytesDone += entry.size;
        }
    }
    if (!node) {
        node = FileNode::makeFile(fileName, entry.size, entry.crc, 0);
        insertChild(*folder, node);
        m_rollback->inserted(*folder, node);
        if (m_database.stock().contains(node->relativePath())) {
            node->flags |= NodeFlag::Core;
            packages[kCorePackage].add(node);
        }
        if (!extract(entry, *node, bytesDone))
            return false;
    }
    packages[package].add(node);
    m_toActivate.push_back(node.get());
    return true;
}

bool PackageArchive::installAll(std::atomic<std::uint64_t> &bytesDone, const OfferedPackage *offered)
{
    Package package;
    package.installDate = currentFileTime();
    package.comment = m_instructions.infoUrl;
    package.name = m_packageName;
    auto &packages = m_database.packages();
    while (std::any_of(packages.begin(), packages.end(),
                       [&](const Package &other) { return equalsNoCase(other.name, package.name); }))
        package.name += "~";
    m_packageName = package.name;
    packages.push_back(std::move(package));
    const std::size_t index = packages.size() - 1;

    m_toActivate.clear();
    for (const auto &entry : m_entries) {
        if (!installEntry(entry, index, bytesDone, offered))
            return false;
    }
    // Renames come last, once nothing can fail any more: a failed
    // installation has then switched nothing off or on.
    Activation activation(m_database);
    for (const auto &path : m_instructions.deactivations) {
        FileNode *node = findPresentByPath(*m_database.root(), path);
        if (node && !node->has(NodeFlag::Core))
            activation.deactivate(*node);
    }
    for (FileNode *node : m_toActivate)
        activation.activate(*node);
    return true;
}

bool PackageArchive::plan(std::vector<PlannedFile> &files)
{
    files.clear();
    if (!m_zip)
        return fail("\"" + m_archivePath + "\" is no zip archive");
    if (!readEntries() || !readInstructions() || !checkTargets())
        return false;
    for (const auto &entry : m_entries) {
        const InstallRule *rule = entry.folder() ? nullptr : ruleFor(entry.name);
        if (!rule || rule->kind == InstallRule::Kind::Ignore)
            continue;
        std::string target;
        for (const auto &part : components(targetPath(entry, *rule)))
            target += (target.empty() ? "" : "\\") + part;
        files.push_back({target, entry.size, entry.crc});
    }
    return true;
}

bool PackageArchive::install(std::atomic<std::uint64_t> &bytesDone, std::atomic<std::uint64_t> &bytesTotal,
                             const OfferedPackage *offered)
{
    bytesDone = 0;
    if (!m_zip)
        return fail("\"" + m_archivePath + "\" is no zip archive");
    if (!m_database.root())
        return fail("the add-on database has not been scanned");
    // No allocation may end the program: a hostile archive fails like any other.
    bool outOfMemory = false;
    try {
        if (!readEntries() || !readInstructions() || !checkTargets())
            return false;
        std::uint64_t total = 0;
        for (const auto &entry : m_entries)
            total += entry.size;
        bytesTotal = total;
        InstallRollback rollback(m_database);
        m_rollback = &rollback;
        bool done = false;
        try {
            done = installAll(bytesDone, offered);
        } catch (const std::bad_alloc &) {
            outOfMemory = true;
        }
        if (!done)
            rollback.undo();
        m_rollback = nullptr;
        if (!outOfMemory)
            return done;
    } catch (const std::bad_alloc &) {
        outOfMemory = true;
    }
    m_rollback = nullptr;
    m_entries.clear();
    m_entries.shrink_to_fit();
    return fail("there is not enough memory to install it");
}

} // namespace garrison
