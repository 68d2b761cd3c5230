#include "addondb/JournalRecovery.h"

#include "addondb/DatabaseFile.h"
#include "addondb/PackageOperations.h"
#include "platform/FileSystem.h"
#include "platform/NativePath.h"
#include "platform/WholeFile.h"

#include <algorithm>

namespace garrison {

namespace {

using Line = std::vector<std::string>;

struct Section {
    Line header; // "install" name date, "uninstall" name date or "activation"
    std::vector<Line> records;
    bool takenBack = false;
};

std::vector<Section> readSections(const std::string &path)
{
    std::vector<Section> sections;
    const auto bytes = readWholeFile(path);
    if (!bytes)
        return sections;
    const std::string text(bytes->begin(), bytes->end());
    std::size_t start = 0;
    // A line cut short by the crash has no line feed yet: it never happened.
    for (std::size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
        Line line = journalFields(text.substr(start, end - start));
        start = end + 1;
        const std::string &kind = line.front();
        if (kind == "install" || kind == "uninstall" || kind == "activation")
            sections.push_back({std::move(line), {}, false});
        else if (sections.empty())
            continue;
        else if (kind == "taken back")
            sections.back().takenBack = true;
        else
            sections.back().records.push_back(std::move(line));
    }
    return sections;
}

int packageOf(const AddonDatabase &database, const Line &header)
{
    if (header.size() < 3)
        return -1;
    const auto &packages = database.packages();
    const auto found = std::find_if(packages.begin(), packages.end(), [&](const Package &package) {
        return package.name == header[1] && std::to_string(package.installDate) == header[2];
    });
    return found == packages.end() ? -1 : static_cast<int>(found - packages.begin());
}

// Takes a section's changes back, last first. True when anything was there to undo.
bool undo(const Section &section)
{
    bool changed = false;
    for (auto record = section.records.rbegin(); record != section.records.rend(); ++record) {
        const Line &line = *record;
        if (line[0] == "rename" && line.size() == 3) {
            if (pathExists(line[2]) && !pathExists(line[1]))
                changed |= renameNoReplace(line[2], line[1]) == FsStatus::Ok;
        } else if (line[0] == "file" && line.size() == 3) {
            changed |= deleteFile(line[1]) == FsStatus::Ok;
            changed |= deleteFile(line[2]) == FsStatus::Ok;
        } else if (line[0] == "folder" && line.size() == 2) {
            // Only when empty: a folder something else filled meanwhile stays.
            changed |= removeFolder(line[1]) == FsStatus::Ok;
        }
    }
    return changed;
}

} // namespace

std::vector<std::string> openChangeJournal(AddonDatabase &database, const std::string &databasePath)
{
    ChangeJournal &journal = database.journal();
    journal.setPath(besideFile(databasePath, kJournalFileName));
    std::vector<std::string> notes;
    if (!pathExists(journal.path()))
        return notes;
    const auto sections = readSections(journal.path());
    bool databaseChanged = false;
    for (auto section = sections.rbegin(); section != sections.rend(); ++section) {
        const std::string &kind = section->header[0];
        const int package = packageOf(database, section->header);
        if (kind == "uninstall") {
            if (package < 0)
                continue;
            // What the cut-short uninstallation deleted already is missing, not a failure to delete.
            for (const auto &node : database.packages()[static_cast<std::size_t>(package)].files) {
                const auto path = nativePath(database.gameFolder(),
                                             node->isFolder() ? node->relativePath()
                                                              : node->parentRelativePath().append(node->diskName()));
                if (path && !pathExists(*path))
                    node->status = NodeStatus::Missing;
            }
            uninstallPackages(database, {static_cast<std::size_t>(package)});
            databaseChanged = true;
            notes.push_back("An uninstallation of \"" + section->header[1] +
                            "\" was interrupted and has been completed");
        } else if (kind == "install") {
            // Saved with the database: the installation was whole.
            if (section->takenBack || package >= 0)
                continue;
            undo(*section);
            notes.push_back("An installation of \"" + section->header[1] + "\" was interrupted and has been undone");
        } else if (undo(*section)) {
            notes.push_back("A change of active add-ons was interrupted and has been undone");
        }
    }
    std::reverse(notes.begin(), notes.end());
    if (!databaseChanged || !DatabaseFile::save(database, databasePath))
        journal.clear();
    return notes;
}

} // namespace garrison
