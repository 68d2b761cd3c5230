#pragma once

#include "addondb/ChangeJournal.h"
#include "addondb/FileNode.h"
#include "addondb/OfferedPackage.h"
#include "addondb/Package.h"
#include "addondb/StockFileTree.h"
#include "lang/LanguageTable.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace garrison {

enum StandardPackage : std::size_t {
    kCorePackage = 0,
    kUnknownFilesPackage = 1,
    kUnknownAddonsPackage = 2,
    kStandardPackageCount = 3,
};

// Every file and folder of the game folder, grouped into packages, and what
// is derived from them: the add-on folders, the mod folders and the game
// executables. No lock: one thread uses it at a time (the database worker
// until its scan ends, then the UI thread or the installer).
class AddonDatabase {
public:
    static constexpr std::size_t kExecutableSlots = 6;

    explicit AddonDatabase(const LanguageTable &language, StockFileTree stock = StockFileTree::builtIn());

    const LanguageTable &language() const { return m_language; }
    StockFileTree &stock() { return m_stock; }

    // Where changes not yet saved are recorded; disabled until a place is given.
    ChangeJournal &journal() { return m_journal; }

    // A native path ending in "/". The root, if any, is renamed after it.
    void setGameFolder(std::string folder);
    const std::string &gameFolder() const { return m_gameFolder; }

    FileNode *root() const { return m_root.get(); }
    // A new, empty root named after the game folder, replacing any other.
    FileNode &makeRoot();

    std::vector<Package> &packages() { return m_packages; }
    const std::vector<Package> &packages() const { return m_packages; }
    // After a load: the first three packages take the standard names again.
    void nameStandardPackages();
    bool isStandard(std::size_t package) const { return package < kStandardPackageCount; }
    // Index of the package named name (exact), or -1.
    int packageIndex(std::string_view name) const;

    // What the selected server's Auto-Addon server offers.
    OfferedList &offered() { return m_offered; }
    const OfferedList &offered() const { return m_offered; }

    // A node just created, or no longer held by any package, goes to
    // "<Core files>", "<Unknown addons>" or "<Unknown files>".
    void assignStandardPackage(const NodeRef &node);
    // Takes a node out of a standard package, clearing its flag, when it has one.
    void leaveUnknownPackage(FileNode &node);

    // The top-level "addons\", "res\" and "res\addons\" folders.
    void findAddonFolders();
    FileNode *addonsFolder() const { return m_addons; }
    FileNode *resFolder() const { return m_res; }
    FileNode *resAddonsFolder() const { return m_resAddons; }

    // Mod folders and the executable slots, from the tree.
    void derive();
    const std::vector<FileNode *> &modFolders() const { return m_modFolders; }
    // The "addons\" of each mod folder, or null, at the same index.
    const std::vector<FileNode *> &modAddonFolders() const { return m_modAddonFolders; }
    const std::vector<std::string> &executables() const { return m_executables; }
    const std::string &extraExecutable() const { return m_extraExecutable; }
    // The highest filled slot at or below wanted, or -1.
    int bestExecutable(int wanted) const;

    // Without Auto-Addon: only the top-level folders of the game folder are
    // known, by name; those that are not stock are the extra folders.
    void useListing();
    bool listingMode() const { return m_listingMode; }
    const std::vector<std::string> &extraFolders() const { return m_extraFolders; }

    // Incremented at the start of every scan; nodes seen carry it as their mark.
    std::uint32_t beginScanGeneration() { return ++m_scanGeneration; }
    std::uint32_t scanGeneration() const { return m_scanGeneration; }

    // Scan state shared with the progress dialog.
    std::string progressText() const;
    void setProgressText(std::string text);
    // Told each progress text on the scanning thread; tests hold the scan at a known place with it.
    void observeProgress(std::function<void(const std::string &)> observer)
    {
        m_progressObserver = std::move(observer);
    }
    void requestAbort() { m_abortRequest = true; }
    bool takeAbortRequest() { return m_abortRequest.exchange(false); }
    bool aborted() const { return m_aborted; }
    void setAborted(bool aborted) { m_aborted = aborted; }

private:
    const LanguageTable &m_language;
    StockFileTree m_stock;
    ChangeJournal m_journal;
    std::string m_gameFolder;
    NodeRef m_root;
    std::vector<Package> m_packages;
    OfferedList m_offered;

    FileNode *m_addons = nullptr;
    FileNode *m_res = nullptr;
    FileNode *m_resAddons = nullptr;
    std::vector<FileNode *> m_modFolders;
    std::vector<FileNode *> m_modAddonFolders;
    std::vector<std::string> m_executables;
    std::string m_extraExecutable;

    bool m_listingMode = false;
    std::vector<std::string> m_extraFolders;

    std::uint32_t m_scanGeneration = 0;
    mutable std::mutex m_progressLock;
    std::string m_progressText;
    std::function<void(const std::string &)> m_progressObserver;
    std::atomic<bool> m_abortRequest{false};
    bool m_aborted = false;
};

// The top-level names that the scanner never enters or records.
bool inSkipList(std::string_view relativePath);

} // namespace garrison
