#include "addondb/ModRecommendation.h"

#include "addondb/CoverSearch.h"
#include "addondb/FileTree.h"
#include "common/TextCompare.h"

#include <algorithm>

namespace garrison {

namespace {

struct Group {
    bool addon = false;
    const FileNode *file = nullptr;
    std::string path; // for a group that is no add-on: without its first folder
    std::vector<std::size_t> candidates;
};

bool isAddonPath(AddonDatabase &database, const std::vector<std::string_view> &components)
{
    if (components.empty())
        return false;
    if (equalsNoCase(components[0], "addons\\"))
        return true;
    return components.size() > 1 && equalsNoCase(components[1], "addons\\") &&
           (equalsNoCase(components[0], "res\\") || !database.stock().contains(components[0]));
}

std::vector<Group> groupsOf(AddonDatabase &database)
{
    std::vector<Group> groups;
    for (const auto &package : database.offered().packages) {
        for (const auto &file : package.files) {
            if (file->isFolder())
                continue;
            const std::string path = file->relativePath();
            const bool addon = isAddonPath(database, splitRelativePath(path));
            const bool known = std::any_of(groups.begin(), groups.end(), [&](const Group &group) {
                return group.addon == addon && group.file->size == file->size && group.file->crc == file->crc &&
                       equalsNoCase(group.file->name(), file->name());
            });
            if (known)
                continue;
            Group group{addon, file.get(), path, {}};
            const auto slash = path.find('\\');
            if (!addon && slash != std::string::npos)
                group.path = path.substr(slash + 1);
            groups.push_back(std::move(group));
        }
    }
    return groups;
}

} // namespace

std::string recommendMods(AddonDatabase &database, const std::vector<std::string> &manualFolders)
{
    const auto &mods = database.modFolders();
    std::vector<const FileNode *> chosen;
    const auto isChosen = [&](const FileNode *folder) {
        return std::find(chosen.begin(), chosen.end(), folder) != chosen.end();
    };
    const auto choose = [&](const FileNode *folder) {
        if (!isChosen(folder))
            chosen.push_back(folder);
    };
    for (const auto &name : manualFolders) {
        for (const FileNode *mod : mods) {
            if (equalsNoCase(mod->name(), name + "\\")) {
                choose(mod);
                break;
            }
        }
    }
    const std::size_t manual = chosen.size();

    // Which mod folders hold an installed copy of each wanted file.
    auto groups = groupsOf(database);
    for (auto &group : groups) {
        for (std::size_t c = 0; c < mods.size(); ++c) {
            const FileNode *addons = database.modAddonFolders()[c];
            const FileNode *found =
                group.addon ? (addons ? searchByIdentity(*addons, group.file->name(), group.file->size, group.file->crc)
                                      : nullptr)
                            : findByPathAndIdentity(*mods[c], group.path, group.file->size, group.file->crc, false);
            if (found)
                group.candidates.push_back(c);
        }
    }

    // A file only one folder holds forces that folder; a folder chosen
    // satisfies every file it holds.
    for (std::size_t g = groups.size(); g-- > 0;) {
        if (groups[g].candidates.size() == 1)
            choose(mods[groups[g].candidates[0]]);
        if (groups[g].candidates.size() <= 1)
            groups.erase(groups.begin() + static_cast<std::ptrdiff_t>(g));
    }
    std::erase_if(groups, [&](const Group &group) {
        return std::any_of(group.candidates.begin(), group.candidates.end(),
                           [&](std::size_t c) { return isChosen(mods[c]); });
    });

    if (!groups.empty()) {
        // The remaining candidates, costed by their add-on files.
        std::vector<int> index(mods.size(), -1);
        std::vector<std::size_t> searched;
        CoverProblem problem;
        for (const auto &group : groups) {
            std::vector<int> members;
            for (const auto c : group.candidates) {
                if (index[c] < 0) {
                    index[c] = static_cast<int>(searched.size());
                    searched.push_back(c);
                }
                members.push_back(index[c]);
            }
            problem.groups.push_back(std::move(members));
        }
        for (const auto c : searched)
            problem.costs.push_back(countAddonFiles(*mods[c]));
        for (const int picked : leastCostCover(problem))
            choose(mods[searched[static_cast<std::size_t>(picked)]]);
    }

    std::string result;
    for (std::size_t i = manual; i < chosen.size(); ++i) {
        if (!result.empty())
            result += ';';
        result += chosen[i]->name().substr(0, chosen[i]->name().size() - 1);
    }
    return result;
}

} // namespace garrison
