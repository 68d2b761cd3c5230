#include "app/ManagerModel.h"

#include "app/AfterInstall.h"

#include "addondb/Activation.h"
#include "addondb/Package.h"
#include "app/SaveProblem.h"
#include "autoaddon/OfferedModel.h"
#include "common/TextCompare.h"
#include "platform/NativePath.h"

#include <algorithm>
#include <functional>
#include <map>
#include <unordered_set>

namespace garrison {

namespace {

int packageIcon(PackageState state)
{
    static constexpr int kIcons[] = {1, 3, 0, 2, 4, 5, 7};
    return kIcons[static_cast<int>(state)];
}

int fileIcon(const FileNode &node)
{
    if (node.isFolder())
        return node.status == NodeStatus::Present ? 6 : 5;
    static constexpr int kIcons[] = {5, 0, 1, 8};
    return kIcons[static_cast<int>(node.status)];
}

bool isBelow(const FileNode &node, const FileNode &folder)
{
    for (const FileNode *parent = node.parent; parent; parent = parent->parent) {
        if (parent == &folder)
            return true;
    }
    return false;
}

} // namespace

ManagerModel::ManagerModel(AddonDatabase &database, const LanguageTable &language, std::string databaseFile)
    : m_database(database), m_language(language), m_databaseFile(std::move(databaseFile))
{
}

void ManagerModel::show(ManagerView view)
{
    if (view != m_view)
        m_sortColumn = ManagerRow::kNone;
    m_view = view;
    if (view != ManagerView::Advanced) {
        m_readOnly = false;
        m_shownOffered = ManagerRow::kNone;
    }
    m_rows.clear();
    switch (view) {
    case ManagerView::Server:
        fillServer();
        break;
    case ManagerView::Packages:
        fillPackages();
        break;
    case ManagerView::Advanced:
        fillAdvanced();
        break;
    }
    sortRows();
}

void ManagerModel::changed()
{
    tellSave(settleAfterChange(m_database, m_databaseFile));
    refill();
}

void ManagerModel::tellSave(const Failure &failure)
{
    // Told once, until a save succeeds again: not after every command.
    if (!failure)
        m_saveFailing = false;
    else if (!std::exchange(m_saveFailing, true))
        m_saveProblem = notSavedText(m_language, "DSTR_LINUX_NOTSAVED_DATABASE", m_databaseFile, failure.error());
}

std::vector<ManagerRowKey> ManagerModel::keysOf(const std::vector<std::size_t> &rows) const
{
    std::vector<ManagerRowKey> keys;
    for (const auto row : rows) {
        if (row >= m_rows.size())
            continue;
        const ManagerRow &shown = m_rows[row];
        ManagerRowKey key;
        key.node = shown.node.get();
        key.offered = shown.offered;
        if (!shown.node && shown.package < m_database.packages().size())
            key.package = m_database.packages()[shown.package].name;
        keys.push_back(std::move(key));
    }
    return keys;
}

std::vector<std::size_t> ManagerModel::rowsOf(const std::vector<ManagerRowKey> &keys) const
{
    // Sets, not a search per row: "select all" over 100,000 files stays quick.
    std::unordered_set<const FileNode *> nodes;
    std::unordered_set<std::string> packages;
    std::unordered_set<std::size_t> offered;
    for (const auto &key : keys) {
        if (key.node)
            nodes.insert(key.node);
        else if (key.offered != ManagerRow::kNone)
            offered.insert(key.offered);
        else
            packages.insert(key.package);
    }
    std::vector<std::size_t> rows;
    for (std::size_t row = 0; row < m_rows.size(); ++row) {
        const ManagerRow &shown = m_rows[row];
        const bool kept = shown.node ? nodes.contains(shown.node.get())
                          : shown.offered != ManagerRow::kNone
                              ? offered.contains(shown.offered)
                              : shown.package < m_database.packages().size() &&
                                    packages.contains(m_database.packages()[shown.package].name);
        if (kept)
            rows.push_back(row);
    }
    return rows;
}

void ManagerModel::fillServer()
{
    const auto &packages = m_database.offered().packages;
    for (std::size_t i = 0; i < packages.size(); ++i) {
        const OfferedRow shown = offeredRow(packages[i], m_language);
        ManagerRow row;
        row.columns = {shown.name, shown.priority, shown.status, shown.zipSize, shown.defaultTo, shown.action};
        row.icon = shown.icon;
        row.offered = i;
        m_rows.push_back(std::move(row));
    }
}

void ManagerModel::fillPackages()
{
    const auto &packages = m_database.packages();
    for (std::size_t i = 0; i < packages.size(); ++i) {
        const PackageSummary summary = summarize(packages[i]);
        ManagerRow row;
        row.columns = {packages[i].name,
                       packageStateText(summary.state, m_language),
                       packageSizeText(summary.totalSize, m_language),
                       std::to_string(summary.files) + "/" + std::to_string(summary.folders),
                       packageDateText(packages[i].installDate),
                       std::to_string(summary.shared)};
        row.icon = packageIcon(summary.state);
        row.package = i;
        m_rows.push_back(std::move(row));
    }
}

void ManagerModel::fillAdvanced()
{
    if (m_readOnly) {
        const auto &offered = m_database.offered().packages;
        if (m_shownOffered < offered.size())
            addFileRows(offered[m_shownOffered].files, ManagerRow::kNone, offered[m_shownOffered].name);
        return;
    }
    const auto &packages = m_database.packages();
    if (m_shownPackage >= packages.size())
        m_shownPackage = ManagerRow::kNone;
    for (std::size_t i = 0; i < packages.size(); ++i) {
        if (m_shownPackage == ManagerRow::kNone || m_shownPackage == i)
            addFileRows(packages[i].files, i, packages[i].name);
    }
}

void ManagerModel::addFileRows(const std::vector<NodeRef> &files, std::size_t package, const std::string &packageName)
{
    const std::string unit = text("DSTR_MANAGER_KB");
    for (const auto &node : files) {
        ManagerRow row;
        row.columns = {std::string(node->name()),
                       node->statusText(),
                       node->parentRelativePath(),
                       node->isFolder() ? std::string() : node->sizeText(unit),
                       node->isFolder() ? std::string() : node->crcText(),
                       packageName};
        row.icon = fileIcon(*node);
        row.package = package;
        row.node = node;
        m_rows.push_back(std::move(row));
    }
}

std::vector<ManagerColumn> ManagerModel::columns() const
{
    switch (m_view) {
    case ManagerView::Server:
        return {{text("DSTR_MANAGER_AA_PACKAGE"), 180},  {text("DSTR_MANAGER_AA_PRIO"), 60},
                {text("DSTR_MANAGER_AA_STATUS"), 80},    {text("DSTR_MANAGER_AA_ZIPSIZE"), 80, true},
                {text("DSTR_MANAGER_AA_DEFUALTTO"), 80}, {text("DSTR_MANAGER_AA_ACTION"), 80}};
    case ManagerView::Packages:
        return {{text("DSTR_MANAGER_PK_PACKAGE"), 150, false, true}, {text("DSTR_MANAGER_PK_STATUS"), 80, false, true},
                {text("DSTR_MANAGER_PK_SIZE"), 80, true, true},      {text("DSTR_MANAGER_PK_FILDIR"), 70, true, true},
                {text("DSTR_MANAGER_PK_DATE"), 150, false, true},    {text("DSTR_MANAGER_PK_SHARED"), 50, true, true}};
    case ManagerView::Advanced:
        return {{text("DSTR_MANAGER_ADV_FILE"), 120, false, true}, {text("DSTR_MANAGER_ADV_STATUS"), 70, false, true},
                {text("DSTR_MANAGER_ADV_PATH"), 120, false, true}, {text("DSTR_MANAGER_ADV_SIZE"), 70, true, true},
                {text("DSTR_MANAGER_ADV_CRC"), 70, false, true},   {text("DSTR_MANAGER_ADV_PACKAGE"), 100}};
    }
    return {};
}

std::string ManagerModel::heading() const
{
    static constexpr const char *kHeadings[] = {"DSTR_MANAGER_HEAD_AASERVER", "DSTR_MANAGER_HEAD_PACKAGES",
                                                "DSTR_MANAGER_HEAD_ADVANCED"};
    return text(kHeadings[static_cast<int>(m_view)]);
}

std::string ManagerModel::buttonCaption(std::size_t button) const
{
    // Binding and unbinding make no sense for the files of an offered package.
    const auto actions = managerActions(m_view);
    if (button >= kButtons || button >= actions.size() || (m_readOnly && button >= 4))
        return {};
    const char *label = actions[button].caption;
    return label ? text(label) : std::string();
}

std::string ManagerModel::buttonToolTip(std::size_t button) const
{
    const auto actions = managerActions(m_view);
    if (button >= kButtons || button >= actions.size())
        return {};
    const char *label = actions[button].toolTip;
    return label ? text(label) : std::string();
}

bool ManagerModel::perform(ManagerActionId action, const std::vector<std::size_t> &rows)
{
    switch (action) {
    case ManagerActionId::Flag:
        flag(rows);
        return true;
    case ManagerActionId::Deflag:
        deflag(rows);
        return true;
    case ManagerActionId::ShowFiles:
        showFiles(rows);
        return true;
    case ManagerActionId::ActivatePackages:
        activatePackages(rows);
        return true;
    case ManagerActionId::ActivateFiles:
        activateFiles(rows);
        return true;
    case ManagerActionId::DeactivateFiles:
        deactivateFiles(rows);
        return true;
    case ManagerActionId::Unbind:
        unbind(rows);
        return true;
    default:
        return false; // a question, a dialog, a menu or the desktop first: the window's
    }
}

std::vector<std::string> ManagerModel::packageChoices() const
{
    std::vector<std::string> choices{text("DSTR_MANAGER_STDPK_ALL")};
    for (const auto &package : m_database.packages())
        choices.push_back(package.name);
    return choices;
}

int ManagerModel::packageChoice() const
{
    if (m_readOnly)
        return -1;
    return m_shownPackage == ManagerRow::kNone ? 0 : static_cast<int>(m_shownPackage) + 1;
}

void ManagerModel::choosePackage(int choice)
{
    m_readOnly = false;
    m_shownOffered = ManagerRow::kNone;
    m_shownPackage = choice <= 0 ? ManagerRow::kNone : static_cast<std::size_t>(choice - 1);
    show(ManagerView::Advanced);
}

std::vector<std::size_t> ManagerModel::selectedOffered(const std::vector<std::size_t> &rows) const
{
    std::vector<std::size_t> offered;
    for (const auto row : rows) {
        if (row < m_rows.size() && m_rows[row].offered != ManagerRow::kNone)
            offered.push_back(m_rows[row].offered);
    }
    return offered;
}

std::vector<std::size_t> ManagerModel::selectedPackages(const std::vector<std::size_t> &rows, bool withStandard) const
{
    std::vector<std::size_t> packages;
    for (const auto row : rows) {
        if (row >= m_rows.size() || m_rows[row].node || m_rows[row].package == ManagerRow::kNone)
            continue;
        const std::size_t package = m_rows[row].package;
        if (withStandard || !m_database.isStandard(package))
            packages.push_back(package);
    }
    return packages;
}

std::vector<ShownFile> ManagerModel::shownFiles(const std::vector<std::size_t> &rows) const
{
    std::vector<ShownFile> files;
    for (const auto row : rows) {
        if (row < m_rows.size() && m_rows[row].node && m_rows[row].package != ManagerRow::kNone)
            files.emplace_back(m_rows[row].node, m_rows[row].package);
    }
    return files;
}

void ManagerModel::flag(const std::vector<std::size_t> &rows)
{
    changeFlags(m_database.offered(), selectedOffered(rows), FlagChange::Flag);
    refill();
}

void ManagerModel::deflag(const std::vector<std::size_t> &rows)
{
    changeFlags(m_database.offered(), selectedOffered(rows), FlagChange::Deflag);
    refill();
}

void ManagerModel::toggleFlags(const std::vector<std::size_t> &rows)
{
    changeFlags(m_database.offered(), selectedOffered(rows), FlagChange::Toggle);
    refill();
}

std::string ManagerModel::manualDownloadUrl(const std::vector<std::size_t> &rows) const
{
    const auto offered = selectedOffered(rows);
    return offered.empty() ? std::string() : m_database.offered().packages[offered.front()].url;
}

bool ManagerModel::anythingFlagged() const
{
    return garrison::anythingFlagged(m_database.offered());
}

std::string ManagerModel::plannedDownloadText() const
{
    return garrison::plannedDownloadText(plannedDownloadSize(m_database.offered()), m_language);
}

std::string ManagerModel::downloadCaption(std::uint32_t tick) const
{
    if (anythingFlagged() && tick % 2 == 0)
        return text("DSTR_MANAGER_AA_DOWNLOAD_FLASH");
    return text("DSTR_MANAGER_AA_DOWNLOAD");
}

void ManagerModel::showFiles(const std::vector<std::size_t> &rows)
{
    if (m_view == ManagerView::Server) {
        const auto offered = selectedOffered(rows);
        if (offered.empty())
            return;
        m_readOnly = true;
        m_shownOffered = offered.front();
    } else {
        const std::size_t package = firstPackage(rows);
        if (package == ManagerRow::kNone)
            return;
        m_readOnly = false;
        m_shownPackage = package;
    }
    show(ManagerView::Advanced);
}

std::size_t ManagerModel::firstPackage(const std::vector<std::size_t> &rows) const
{
    const auto packages = selectedPackages(rows, true);
    return packages.empty() ? ManagerRow::kNone : packages.front();
}

std::size_t ManagerModel::firstEditablePackage(const std::vector<std::size_t> &rows) const
{
    const auto packages = selectedPackages(rows, false);
    return packages.empty() ? ManagerRow::kNone : packages.front();
}

void ManagerModel::downloaded()
{
    tellSave(settleAfterInstall(m_database, m_databaseFile));
    refill();
}

void ManagerModel::activatePackages(const std::vector<std::size_t> &rows)
{
    Activation activation(m_database);
    for (const auto package : selectedPackages(rows, true))
        activation.activatePackage(m_database.packages()[package]);
    changed();
}

std::vector<std::size_t> ManagerModel::deactivatePackages(const std::vector<std::size_t> &rows)
{
    std::vector<std::size_t> ask;
    Activation activation(m_database);
    for (const auto package : selectedPackages(rows, true)) {
        if (package == kCorePackage || package == kUnknownFilesPackage)
            ask.push_back(package);
        else
            activation.deactivatePackage(m_database.packages()[package]);
    }
    changed();
    return ask;
}

void ManagerModel::deactivatePackage(std::size_t package)
{
    if (package < m_database.packages().size())
        Activation(m_database).deactivatePackage(m_database.packages()[package]);
    changed();
}

std::string ManagerModel::packageName(std::size_t package) const
{
    return package < m_database.packages().size() ? m_database.packages()[package].name : std::string();
}

std::string ManagerModel::packageComment(std::size_t package) const
{
    return package < m_database.packages().size() ? m_database.packages()[package].comment : std::string();
}

PackageNameCheck ManagerModel::editPackage(std::size_t package, const std::string &name, const std::string &comment)
{
    // The package dialog asks for a name whether it makes or edits a package.
    if (name.empty())
        return PackageNameCheck::Empty;
    const auto check = garrison::editPackage(m_database, package, name, comment);
    if (check == PackageNameCheck::Ok)
        changed();
    return check;
}

void ManagerModel::dissolve(const std::vector<std::size_t> &rows)
{
    dissolvePackages(m_database, selectedPackages(rows, false));
    changed();
}

std::vector<bool> ManagerModel::uninstall(const std::vector<std::size_t> &rows)
{
    const auto removed = uninstallPackages(m_database, selectedPackages(rows, false));
    changed();
    return removed;
}

void ManagerModel::activateFiles(const std::vector<std::size_t> &rows)
{
    Activation activation(m_database);
    for (const auto &[node, package] : shownFiles(rows))
        activation.activate(*node);
    changed();
}

void ManagerModel::deactivateFiles(const std::vector<std::size_t> &rows)
{
    Activation activation(m_database);
    for (const auto &[node, package] : shownFiles(rows))
        activation.deactivate(*node);
    changed();
}

std::vector<std::size_t> ManagerModel::childRows(const std::vector<std::size_t> &rows) const
{
    std::vector<std::size_t> children;
    if (rows.empty() || rows.front() >= m_rows.size())
        return children;
    const NodeRef &folder = m_rows[rows.front()].node;
    if (!folder || !folder->isFolder())
        return children;
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].node && isBelow(*m_rows[i].node, *folder))
            children.push_back(i);
    }
    return children;
}

std::string ManagerModel::folderToOpen(const std::vector<std::size_t> &rows) const
{
    if (rows.empty() || rows.front() >= m_rows.size() || !m_rows[rows.front()].node)
        return {};
    const FileNode &node = *m_rows[rows.front()].node;
    const auto path =
        nativePath(m_database.gameFolder(), node.isFolder() ? node.relativePath() : node.parentRelativePath());
    return path.value_or(std::string());
}

std::vector<std::pair<std::string, bool>> ManagerModel::bindChoices() const
{
    std::vector<std::pair<std::string, bool>> choices;
    const auto &packages = m_database.packages();
    for (std::size_t i = 0; i < packages.size() && i < kBindLimit; ++i)
        choices.emplace_back(packages[i].name, !m_database.isStandard(i));
    return choices;
}

void ManagerModel::bindTo(const std::vector<std::size_t> &rows, std::size_t package)
{
    if (package < m_database.packages().size() && !m_database.isStandard(package))
        bindFiles(m_database, shownFiles(rows), package);
    changed();
}

PackageNameCheck ManagerModel::bindToNewPackage(const std::vector<std::size_t> &rows, const std::string &name,
                                                const std::string &comment)
{
    const auto check = newPackage(m_database, name, comment, shownFiles(rows));
    if (check == PackageNameCheck::Ok)
        changed();
    return check;
}

void ManagerModel::unbind(const std::vector<std::size_t> &rows)
{
    unbindFiles(m_database, shownFiles(rows));
    changed();
}

void ManagerModel::sort(std::size_t column)
{
    m_sortColumn = column;
    sortRows();
}

void ManagerModel::sortRows()
{
    const std::size_t column = m_sortColumn;
    using Less = std::function<bool(const ManagerRow &, const ManagerRow &)>;
    Less less;
    if (m_view == ManagerView::Packages) {
        std::map<std::size_t, PackageSummary> summaries;
        for (const auto &row : m_rows)
            summaries[row.package] = summarize(m_database.packages()[row.package]);
        const auto &packages = m_database.packages();
        const auto sum = [summaries](const ManagerRow &row) {
            return summaries.at(row.package);
        };
        switch (column) {
        case 0:
            less = [&](const auto &a, const auto &b) {
                return compareNoCase(packages[a.package].name, packages[b.package].name) < 0;
            };
            break;
        case 1:
            less = [sum](const auto &a, const auto &b) {
                return sum(a).state < sum(b).state;
            };
            break;
        case 2:
            less = [sum](const auto &a, const auto &b) {
                return sum(a).totalSize > sum(b).totalSize;
            };
            break;
        case 3:
            less = [sum](const auto &a, const auto &b) {
                return std::pair(sum(a).files, sum(a).folders) > std::pair(sum(b).files, sum(b).folders);
            };
            break;
        case 4:
            less = [&](const auto &a, const auto &b) {
                return packages[a.package].installDate > packages[b.package].installDate;
            };
            break;
        case 5:
            less = [sum](const auto &a, const auto &b) {
                return sum(a).shared > sum(b).shared;
            };
            break;
        default:
            return;
        }
        std::stable_sort(m_rows.begin(), m_rows.end(), less);
        return;
    }
    if (m_view != ManagerView::Advanced)
        return;
    switch (column) {
    case 0:
        less = [](const auto &a, const auto &b) {
            if (a.node->isFolder() != b.node->isFolder())
                return a.node->isFolder();
            return compareNoCase(a.node->name(), b.node->name()) < 0;
        };
        break;
    case 1:
        less = [](const auto &a, const auto &b) {
            return a.node->status > b.node->status;
        };
        break;
    case 2:
        less = [](const auto &a, const auto &b) {
            return compareNoCase(a.columns[2], b.columns[2]) < 0;
        };
        break;
    case 3:
        less = [](const auto &a, const auto &b) {
            return a.node->size > b.node->size;
        };
        break;
    case 4:
        less = [](const auto &a, const auto &b) {
            return a.node->crc < b.node->crc;
        };
        break;
    default:
        return;
    }
    std::stable_sort(m_rows.begin(), m_rows.end(), less);
}

} // namespace garrison
