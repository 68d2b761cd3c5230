#pragma once

#include "addondb/AddonDatabase.h"
#include "addondb/InstallPlan.h"
#include "addondb/InstallRollback.h"
#include "addondb/OfferedPackage.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace garrison {

class UnpackPipeline;

// Installs one downloaded zip as its auto-addon.txt directs: a new package,
// every selected entry written under its inactive name and then activated,
// identical files already on disk bound instead of written. An archive that
// its plan refuses (outside the game folder, names too long, encrypted or
// unreadable members, members over 4 GiB) or that does not fit on the disk
// is refused before anything changes. What it will create is recorded in the
// database's journal before the first byte is written, so that a crash is
// undone at the next start. Each file is written under a hidden temporary
// name and takes its name only once its size and CRC-32 are right.
// A failure on the way takes the installation back: what it wrote is removed
// and the database is as it was before.
class PackageArchive {
public:
    // shownName: what failures call the archive; its path when empty.
    PackageArchive(AddonDatabase &database, std::string archivePath, std::string shownName = {});
    ~PackageArchive();
    PackageArchive(const PackageArchive &) = delete;
    PackageArchive &operator=(const PackageArchive &) = delete;

    // offered: the package the archive was downloaded for, or null. The
    // counters may be read by another thread while this runs.
    bool install(std::atomic<std::uint64_t> &bytesDone, std::atomic<std::uint64_t> &bytesTotal,
                 const OfferedPackage *offered);

    // Points on the way, for tests that end the process there as a crash would.
    enum class Step { JournalWritten, FilePartWritten, FileWritten, Activated };
    void onStep(std::function<void(Step)> observer) { m_onStep = std::move(observer); }

    // Why install() failed, for the user.
    const std::string &failure() const { return m_failure; }
    const std::string &packageName() const { return m_packageName; }

private:
    // A member that must be written, and where.
    struct Write {
        const ZipReader::Member *member;
        FileNode *node;
        std::string folder; // native, ending in "/"
    };

    bool fail(std::string reason);
    bool installAll(const InstallPlan &plan, ZipReader &zip, std::atomic<std::uint64_t> &bytesDone,
                    const OfferedPackage *offered);
    bool fitsOnDisk(const InstallPlan &plan);
    FileNode *folderFor(const std::vector<std::string> &folders, std::size_t package);
    bool prepareFile(const PlannedFile &file, std::size_t package, std::atomic<std::uint64_t> &bytesDone,
                     const OfferedPackage *offered);
    bool prepareWrite(const PlannedFile &file, FileNode &node);
    bool createFolders();
    bool writeJournal(const std::string &package, FileTime installDate);
    void step(Step reached) const;
    bool writeFile(UnpackPipeline &pipeline, const Write &write, std::atomic<std::uint64_t> &bytesDone);

    AddonDatabase &m_database;
    std::string m_archivePath;
    std::string m_shownName;
    std::string m_failure;
    std::string m_packageName;
    InstallRollback *m_rollback = nullptr;
    std::vector<std::string> m_newFolders; // native, without the trailing "/"
    std::vector<Write> m_writes;
    std::vector<FileNode *> m_toActivate;
    std::function<void(Step)> m_onStep;
};

// The hidden name a file is written under before its bytes are checked; the
// scanner never records it.
std::string partialName(const std::string &diskName);

} // namespace garrison
