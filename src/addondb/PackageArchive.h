#pragma once

#include "addondb/AddonDatabase.h"
#include "addondb/InstallInstructions.h"
#include "addondb/InstallRollback.h"
#include "addondb/OfferedPackage.h"

#include <atomic>
#include <cstdint>
#include <string>

namespace garrison {

// Installs one downloaded zip as its auto-addon.txt directs: a new package,
// every selected entry written under its inactive name and then activated,
// identical files already on disk bound instead of written. An archive that
// would write outside the game folder, whose names are too long for the game,
// or that does not fit on the disk, is refused before anything changes. A
// failure on the way (a member that fails its CRC, a write that fails) takes
// the installation back: what it wrote is removed and the database is as it
// was before.
class PackageArchive {
public:
    // A file the archive installs: where it goes in the game folder ("\"
    // between folders), its size and CRC-32.
    struct PlannedFile {
        std::string target;
        std::uint32_t size = 0;
        std::uint32_t crc = 0;
    };

    PackageArchive(AddonDatabase &database, std::string archivePath);
    ~PackageArchive();
    PackageArchive(const PackageArchive &) = delete;
    PackageArchive &operator=(const PackageArchive &) = delete;

    // offered: the package the archive was downloaded for, or null. The
    // counters may be read by another thread while this runs.
    bool install(std::atomic<std::uint64_t> &bytesDone, std::atomic<std::uint64_t> &bytesTotal,
                 const OfferedPackage *offered);

    // What install() would write, read from the archive's directory and its
    // auto-addon.txt without extracting anything, in archive order. False,
    // with failure(), when install() would refuse the archive. The database
    // only lends the install redirect of its offered list.
    bool plan(std::vector<PlannedFile> &files);
    const InstallInstructions &instructions() const { return m_instructions; }

    // Longest member name the game can open, and the largest auto-addon.txt read.
    static constexpr std::size_t kMaxNameLength = 259;
    static constexpr std::size_t kMaxInstructionBytes = 64 * 1024;

    // Why install() failed, for the user.
    const std::string &failure() const { return m_failure; }
    const std::string &packageName() const { return m_packageName; }

private:
    struct Entry;
    bool fail(std::string reason);
    bool installAll(std::atomic<std::uint64_t> &bytesDone, const OfferedPackage *offered);
    bool readInstructions();
    bool readEntries();
    bool checkTargets();
    std::string targetPath(const Entry &entry, const InstallRule &rule) const;
    const InstallRule *ruleFor(const std::string &path) const;
    FileNode *folderFor(const std::vector<std::string> &folders, std::size_t package);
    bool installEntry(const Entry &entry, std::size_t package, std::atomic<std::uint64_t> &bytesDone,
                      const OfferedPackage *offered);
    bool extract(const Entry &entry, FileNode &node, std::atomic<std::uint64_t> &bytesDone);

    AddonDatabase &m_database;
    std::string m_archivePath;
    void *m_zip = nullptr;
    std::string m_failure;
    std::string m_packageName;
    InstallInstructions m_instructions;
    std::vector<Entry> m_entries;
    InstallRollback *m_rollback = nullptr;
    std::vector<FileNode *> m_toActivate;
};

} // namespace garrison
