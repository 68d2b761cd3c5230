#pragma once

#include "addondb/AddonDatabase.h"
#include "addondb/PackageOperations.h"
#include "app/ManagerActions.h"
#include "common/Failure.h"
#include "lang/LanguageTable.h"

#include <array>
#include <cstddef>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace garrison {

// One row of the Manager's list and the object it shows.
struct ManagerRow {
    static constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

    std::array<std::string, 6> columns;
    int icon = -1;
    std::size_t offered = kNone; // server view: the offered package
    std::size_t package = kNone; // packages view: the package; advanced view: the list the file came from
    NodeRef node;                // advanced view
};

struct ManagerColumn {
    std::string title;
    int width = 80;
    bool right = false;
    bool sortable = false;
};

// What identifies a row across a refill: its file, its package or its offered package.
struct ManagerRowKey {
    const FileNode *node = nullptr;
    std::string package;
    std::size_t offered = ManagerRow::kNone;
};

// The Manager window without its widgets: the three views of the one list,
// what its six buttons say, and every command on the selected rows. Rows are
// indexes into rows(); every command ends with the view refilled in its sort
// order. A command that changed the database also brings the offered
// packages' statuses up to date and saves the database file.
class ManagerModel {
public:
    static constexpr std::size_t kButtons = 6;
    static constexpr std::size_t kBindLimit = 200;

    // databaseFile: where each change is saved ("" saves nothing).
    ManagerModel(AddonDatabase &database, const LanguageTable &language, std::string databaseFile = {});

    void show(ManagerView view);
    void refill() { show(m_view); }
    // Why a save failed, taken once; a failure is told once until a save succeeds.
    std::string takeSaveProblem() { return std::exchange(m_saveProblem, {}); }
    std::vector<ManagerRowKey> keysOf(const std::vector<std::size_t> &rows) const;
    // The rows that still show what the keys named.
    std::vector<std::size_t> rowsOf(const std::vector<ManagerRowKey> &keys) const;
    ManagerView view() const { return m_view; }
    const std::vector<ManagerRow> &rows() const { return m_rows; }
    std::vector<ManagerColumn> columns() const;
    std::string heading() const;

    // The buttons 1047, 1050, 1052, 1054, 1059 and 1061: caption (empty:
    // hidden) and tool tip in the current view.
    std::string buttonCaption(std::size_t button) const;
    std::string buttonToolTip(std::size_t button) const;
    // Does an action that needs nothing but the rows; false for one that asks,
    // opens a dialog, a menu or the desktop first, which the window does.
    bool perform(ManagerActionId action, const std::vector<std::size_t> &rows);

    // The Advanced view's package selector: "<All Packages>" and every package.
    std::vector<std::string> packageChoices() const;
    int packageChoice() const; // -1 in the read-only view of an offered package
    void choosePackage(int choice);
    bool readOnlyFiles() const { return m_readOnly; }

    // After the download window: the new add-on folders and packages taken in.
    void downloaded();

    // Server view.
    void flag(const std::vector<std::size_t> &rows);
    void deflag(const std::vector<std::size_t> &rows);
    void toggleFlags(const std::vector<std::size_t> &rows);
    std::string manualDownloadUrl(const std::vector<std::size_t> &rows) const;
    bool anythingFlagged() const;
    std::string plannedDownloadText() const;
    // The Download button on the given tick of the one-second timer.
    std::string downloadCaption(std::uint32_t tick) const;

    // Server and Packages views: the files of the first selected package.
    void showFiles(const std::vector<std::size_t> &rows);

    // Packages view. Deactivating the core or unknown-files package needs a
    // yes first: those are returned, the others are done at once.
    void activatePackages(const std::vector<std::size_t> &rows);
    std::vector<std::size_t> deactivatePackages(const std::vector<std::size_t> &rows);
    void deactivatePackage(std::size_t package);
    std::string packageName(std::size_t package) const;
    std::string packageComment(std::size_t package) const;
    std::size_t firstPackage(const std::vector<std::size_t> &rows) const;         // kNone without one
    std::size_t firstEditablePackage(const std::vector<std::size_t> &rows) const; // not a standard one
    PackageNameCheck editPackage(std::size_t package, const std::string &name, const std::string &comment);
    void dissolve(const std::vector<std::size_t> &rows);
    // Per package: uninstalled, or kept because a file could not be deleted.
    std::vector<bool> uninstall(const std::vector<std::size_t> &rows);

    // Advanced view.
    void activateFiles(const std::vector<std::size_t> &rows);
    void deactivateFiles(const std::vector<std::size_t> &rows);
    std::vector<std::size_t> childRows(const std::vector<std::size_t> &rows) const;
    std::string folderToOpen(const std::vector<std::size_t> &rows) const;
    // The bind menu: the first 200 packages, standard ones not choosable.
    std::vector<std::pair<std::string, bool>> bindChoices() const;
    void bindTo(const std::vector<std::size_t> &rows, std::size_t package);
    PackageNameCheck bindToNewPackage(const std::vector<std::size_t> &rows, const std::string &name,
                                      const std::string &comment);
    void unbind(const std::vector<std::size_t> &rows);

    void sort(std::size_t column);

private:
    // After a command that altered the database.
    void changed();
    void tellSave(const Failure &failure);
    void sortRows();
    void fillServer();
    void fillPackages();
    void fillAdvanced();
    void addFileRows(const std::vector<NodeRef> &files, std::size_t package, const std::string &packageName);
    std::vector<ShownFile> shownFiles(const std::vector<std::size_t> &rows) const;
    std::vector<std::size_t> selectedPackages(const std::vector<std::size_t> &rows, bool withStandard) const;
    std::vector<std::size_t> selectedOffered(const std::vector<std::size_t> &rows) const;
    std::string text(const char *label) const { return m_language.Resolve(label); }

    AddonDatabase &m_database;
    const LanguageTable &m_language;
    std::string m_databaseFile;
    std::string m_saveProblem;
    bool m_saveFailing = false;
    std::size_t m_sortColumn = ManagerRow::kNone; // of the view shown; none: the database's order
    ManagerView m_view = ManagerView::Packages;
    std::vector<ManagerRow> m_rows;
    std::size_t m_shownPackage = ManagerRow::kNone; // none: every package
    std::size_t m_shownOffered = ManagerRow::kNone; // the read-only view's offered package
    bool m_readOnly = false;
};

} // namespace garrison
