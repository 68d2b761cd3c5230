#include "addondb/PackageArchive.h"

#include "addondb/Activation.h"
#include "addondb/FileTree.h"
#include "addondb/InactiveName.h"
#include "addondb/UnpackPipeline.h"
#include "common/TextCompare.h"
#include "platform/DirectoryListing.h"
#include "platform/FileHandle.h"
#include "platform/FileSystem.h"
#include "platform/NativePath.h"

#include <sys/statvfs.h>

#include <algorithm>
#include <new>
#include <system_error>

namespace garrison {

namespace {

constexpr std::size_t kWriteSlice = 1024 * 1024;

std::string systemError()
{
    return std::error_code(errno, std::generic_category()).message();
}

std::vector<std::string> splitTarget(const std::string &target)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = target.find('\\', start);
        parts.push_back(target.substr(start, end - start));
        if (end == std::string::npos)
            return parts;
        start = end + 1;
    }
}

} // namespace

std::string partialName(const std::string &diskName)
{
    return "." + diskName + ".part";
}

PackageArchive::PackageArchive(AddonDatabase &database, std::string archivePath, std::string shownName)
    : m_database(database), m_archivePath(std::move(archivePath)),
      m_shownName(shownName.empty() ? m_archivePath : std::move(shownName))
{
}

PackageArchive::~PackageArchive() = default;

bool PackageArchive::fail(std::string reason)
{
    m_failure = std::move(reason);
    return false;
}

bool PackageArchive::fitsOnDisk(const InstallPlan &plan)
{
    std::uint64_t written = 0;
    for (const auto &file : plan.files)
        written += file.size;
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
            m_newFolders.push_back(path->substr(0, path->size() - 1));
        }
        if (!node->has(NodeFlag::Core))
            packages[package].add(node);
        current = node.get();
    }
    return current;
}

bool PackageArchive::prepareWrite(const PlannedFile &file, FileNode &node)
{
    node.setDiskName(inactiveName(node.name(), node.crc));
    node.status = NodeStatus::Inactive;
    const auto folder = nativePath(m_database.gameFolder(), node.parentRelativePath());
    if (!folder)
        return fail("\"" + file.target + "\" cannot be written in the game folder");
    // Never over a file that is there already, whatever the case of its name.
    if (findEntryIgnoringCase(*folder, std::string(node.diskName())))
        return fail("\"" + *folder + std::string(node.diskName()) +
                    "\" exists already and is not in the add-on database");
    m_writes.push_back({file.member, &node, *folder});
    return true;
}

bool PackageArchive::prepareFile(const PlannedFile &file, std::size_t package, std::atomic<std::uint64_t> &bytesDone,
                                 const OfferedPackage *offered)
{
    auto parts = splitTarget(file.target);
    const std::string fileName = parts.back();
    parts.pop_back();
    FileNode *folder = folderFor(parts, package);
    if (!folder)
        return fail("a folder for \"" + file.member->name + "\" cannot be created");

    auto &packages = m_database.packages();
    NodeRef node;
    for (const auto &child : folder->children) {
        if (!child->isFolder() && child->size == file.size && child->crc == file.crc &&
            equalsNoCase(child->name(), fileName)) {
            node = child;
            break;
        }
    }
    if (node) {
        if (packages[package].holds(node.get())) {
            bytesDone += file.size;
            return true;
        }
        m_rollback->touch(*node);
        m_database.leaveUnknownPackage(*node);
        if (node->status == NodeStatus::Missing) {
            if (!prepareWrite(file, *node))
                return false;
        } else {
            bytesDone += file.size;
        }
    } else if (offered && !m_database.offered().installExistingFiles) {
        for (FileNode *match : offered->matches) {
            if (match && !match->isFolder() && match->crc == file.crc && match->size == file.size &&
                equalsNoCase(match->name(), fileName)) {
                node = match->parent ? *std::find_if(match->parent->children.begin(), match->parent->children.end(),
                                                     [&](const NodeRef &child) { return child.get() == match; })
                                     : nullptr;
                break;
            }
        }
        if (node) {
            m_rollback->touch(*node);
            bytesDone += file.size;
        }
    }
    if (!node) {
        node = FileNode::makeFile(fileName, file.size, file.crc, 0);
        insertChild(*folder, node);
        m_rollback->inserted(*folder, node);
        if (m_database.stock().contains(node->relativePath())) {
            node->flags |= NodeFlag::Core;
            packages[kCorePackage].add(node);
        }
        if (!prepareWrite(file, *node))
            return false;
    }
    packages[package].add(node);
    m_toActivate.push_back(node.get());
    return true;
}

bool PackageArchive::createFolders()
{
    for (const auto &folder : m_newFolders) {
        const FsStatus made = createFolder(folder);
        if (made == FsStatus::Ok)
            m_rollback->createdFolder(folder);
        else if (made != FsStatus::AlreadyExists)
            return fail("\"" + folder + "\" cannot be created: " + systemError());
    }
    return true;
}

void PackageArchive::step(Step reached) const
{
    if (m_onStep)
        m_onStep(reached);
}

bool PackageArchive::writeJournal(const std::string &package, FileTime installDate)
{
    std::vector<std::pair<std::string, std::string>> files;
    for (const auto &write : m_writes) {
        const std::string diskName(write.node->diskName());
        files.emplace_back(write.folder + partialName(diskName), write.folder + diskName);
    }
    ChangeJournal &journal = m_database.journal();
    if (!journal.beginInstall(package, installDate, m_newFolders, files))
        return fail("the journal \"" + journal.path() + "\" cannot be written: " + systemError());
    step(Step::JournalWritten);
    return true;
}

bool PackageArchive::writeFile(UnpackPipeline &pipeline, const Write &write, std::atomic<std::uint64_t> &bytesDone)
{
    const std::string diskName(write.node->diskName());
    const std::string partial = write.folder + partialName(diskName);
    const std::string path = write.folder + diskName;
    FileHandle file(partial, FileHandle::Mode::CreateNew);
    if (!file.isOpen())
        return fail("\"" + partial + "\" cannot be created: " + systemError());
    m_rollback->createdFile(partial);
    std::uint64_t written = 0;
    while (true) {
        UnpackPipeline::Piece piece = pipeline.next();
        if (piece.end && !piece.ok)
            return fail(piece.failure);
        if (piece.end)
            break;
        // In slices: the progress bar moves through a large member too.
        for (std::size_t at = 0; at < piece.data.size(); at += kWriteSlice) {
            const std::size_t size = std::min(kWriteSlice, piece.data.size() - at);
            if (file.write(piece.data.data() + at, size) != static_cast<std::int64_t>(size))
                return fail("\"" + path + "\" cannot be written: " + systemError());
            written += size;
            bytesDone += size;
            if (written < write.member->size)
                step(Step::FilePartWritten);
        }
    }
    file.close();
    // The reader checked size and CRC of what it handed over; this checks that all of it went to the file.
    if (written != write.member->size)
        return fail("\"" + write.member->name + "\" did not unpack to its size");
    write.node->time = fileTimeFromTimespec({write.member->time, 0});
    setFileModificationTime(partial, write.node->time);
    if (renameNoReplace(partial, path) != FsStatus::Ok)
        return fail("\"" + path + "\" cannot be created: " + systemError());
    m_rollback->createdFile(path);
    step(Step::FileWritten);
    return true;
}

bool PackageArchive::installAll(const InstallPlan &plan, ZipReader &zip, std::atomic<std::uint64_t> &bytesDone,
                                const OfferedPackage *offered)
{
    Package package;
    package.installDate = currentFileTime();
    package.comment = plan.instructions.infoUrl;
    package.name = plan.packageName;
    auto &packages = m_database.packages();
    while (std::any_of(packages.begin(), packages.end(),
                       [&](const Package &other) { return equalsNoCase(other.name, package.name); }))
        package.name += "~";
    m_packageName = package.name;
    packages.push_back(std::move(package));
    const std::size_t index = packages.size() - 1;
    const FileTime installDate = packages.back().installDate;

    // The tree first, then the disk: what will be written is known before
    // the first byte is.
    for (const auto &file : plan.files) {
        if (!prepareFile(file, index, bytesDone, offered))
            return false;
    }
    if (!writeJournal(m_packageName, installDate) || !createFolders())
        return false;
    std::vector<const ZipReader::Member *> members;
    for (const auto &write : m_writes)
        members.push_back(write.member);
    {
        UnpackPipeline pipeline(zip, members);
        for (const auto &write : m_writes) {
            if (!writeFile(pipeline, write, bytesDone))
                return false;
        }
    }
    // Ignored members count as done.
    bytesDone = plan.totalBytes;

    // Renames come last, once nothing can fail any more: a failed
    // installation has then switched nothing off or on.
    Activation activation(m_database);
    for (const auto &path : plan.instructions.deactivations) {
        FileNode *node = findPresentByPath(*m_database.root(), path);
        if (node && !node->has(NodeFlag::Core))
            activation.deactivate(*node);
    }
    for (FileNode *node : m_toActivate)
        activation.activate(*node);
    step(Step::Activated);
    return true;
}

bool PackageArchive::install(std::atomic<std::uint64_t> &bytesDone, std::atomic<std::uint64_t> &bytesTotal,
                             const OfferedPackage *offered)
{
    bytesDone = 0;
    if (!m_database.root())
        return fail("the add-on database has not been scanned");
    // No allocation may end the program: a hostile archive fails like any other.
    try {
        ZipReader zip(m_archivePath);
        const InstallPlan plan = planInstall(zip, m_archivePath, m_database.offered().installRedirect, m_shownName);
        m_packageName = plan.packageName;
        if (plan.refused())
            return fail(plan.failure);
        if (!fitsOnDisk(plan))
            return false;
        bytesTotal = plan.totalBytes;
        InstallRollback rollback(m_database);
        m_rollback = &rollback;
        bool done = false;
        try {
            done = installAll(plan, zip, bytesDone, offered);
        } catch (const std::bad_alloc &) {
            fail("there is not enough memory to install it");
        }
        if (!done) {
            rollback.undo();
            m_database.journal().installTakenBack();
        } else {
            m_database.journal().endInstall();
        }
        m_rollback = nullptr;
        return done;
    } catch (const std::bad_alloc &) {
        m_rollback = nullptr;
        return fail("there is not enough memory to install it");
    }
}

} // namespace garrison
