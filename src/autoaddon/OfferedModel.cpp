#include "autoaddon/OfferedModel.h"

#include "addondb/InstalledCopy.h"
#include "common/SizeText.h"
#include "common/TextCompare.h"
#include "common/WordSplit.h"

#include <algorithm>

namespace garrison {

namespace {

constexpr std::int32_t kRecommended = 4;
constexpr std::int32_t kRequired = 7;

std::vector<std::string> foldersOf(const FileNode &file)
{
    auto components = file.pathComponents();
    components.pop_back();
    return components;
}

} // namespace

void computeInstallStatus(OfferedPackage &package, AddonDatabase &database)
{
    package.allActive = true;
    package.defaultFolder.clear();
    package.matches.assign(package.files.size(), nullptr);
    int total = 0, found = 0, moved = 0;
    bool firstFile = true;
    for (std::size_t i = 0; i < package.files.size(); ++i) {
        FileNode &file = *package.files[i];
        if (file.isFolder())
            continue;
        ++total;
        const std::string path = file.relativePath();
        FileNode *match = findInstalledCopy(database, path, file.size, file.crc);
        package.matches[i] = match;
        file.status = NodeStatus::Missing;
        if (match) {
            ++found;
            file.status = NodeStatus::Present;
            if (!equalsNoCase(match->relativePath(), path)) {
                file.status = NodeStatus::DiffPath;
                ++moved;
            }
            if (match->status != NodeStatus::Present)
                package.allActive = false;
        }
        const auto folders = foldersOf(file);
        if (firstFile) {
            package.defaultFolder = folders;
            firstFile = false;
            continue;
        }
        std::size_t common = 0;
        while (common < package.defaultFolder.size() && common < folders.size() &&
               equalsNoCase(package.defaultFolder[common], folders[common]))
            ++common;
        package.defaultFolder.resize(common);
    }
    if (found == total)
        package.status = moved == 0 ? InstallStatus::Installed : InstallStatus::PathDiffers;
    else if (found >= 1 && found >= total / 2)
        package.status = InstallStatus::MissingFiles;
    else
        package.status = InstallStatus::NotInstalled;
}

void refreshInstallStatus(OfferedList &list, AddonDatabase &database)
{
    for (auto &package : list.packages)
        computeInstallStatus(package, database);
}

void evaluateArrivedList(OfferedList &list, AddonDatabase &database)
{
    for (auto &package : list.packages) {
        computeInstallStatus(package, database);
        package.flagged = neededAndMissing(package);
    }
}

void changeFlags(OfferedList &list, const std::vector<std::size_t> &selected, FlagChange change)
{
    for (const auto index : selected) {
        if (index >= list.packages.size())
            continue;
        bool &flag = list.packages[index].flagged;
        flag = change == FlagChange::Flag ? true : change == FlagChange::Deflag ? false : !flag;
    }
}

std::uint64_t plannedDownloadSize(const OfferedList &list)
{
    std::uint64_t total = 0;
    for (const auto &package : list.packages) {
        if (package.flagged)
            total += package.zipSize;
    }
    return total;
}

bool anythingFlagged(const OfferedList &list)
{
    return std::any_of(list.packages.begin(), list.packages.end(),
                       [](const OfferedPackage &package) { return package.flagged; });
}

std::string plannedDownloadText(std::uint64_t bytes, const LanguageTable &language)
{
    const std::uint64_t hundredths = bytes / 10485;
    std::string digits = std::to_string(hundredths);
    while (digits.size() < 3)
        digits.insert(0, "0");
    const std::string whole = groupedNumber(std::stoull(digits.substr(0, digits.size() - 2)));
    return whole + "." + digits.substr(digits.size() - 2) + language.Resolve("DSTR_MANAGER_AA_MB") +
           language.Resolve("DSTR_MANAGER_AA_TODOWNLOAD");
}

std::string priorityText(std::int32_t priority, const LanguageTable &language)
{
    // Above 10 has no word of its own; it is at least required.
    if (priority >= kRequired)
        return language.Resolve("DSTR_MANAGER_AA_REQ");
    if (priority >= kRecommended)
        return language.Resolve("DSTR_MANAGER_AA_REC");
    return language.Resolve("DSTR_MANAGER_AA_OPT");
}

std::string installStatusText(InstallStatus status, const LanguageTable &language)
{
    switch (status) {
    case InstallStatus::Installed:
        return language.Resolve("DSTR_MANAGER_PKI_INST");
    case InstallStatus::PathDiffers:
        return language.Resolve("DSTR_MANAGER_PKI_PDIF");
    case InstallStatus::MissingFiles:
        return language.Resolve("DSTR_MANAGER_PKI_MIS");
    case InstallStatus::NotInstalled:
        return language.Resolve("DSTR_MANAGER_PKI_NOI");
    }
    return language.Resolve("DSTR_MANAGER_PKI_ERR");
}

OfferedRow offeredRow(const OfferedPackage &package, const LanguageTable &language)
{
    OfferedRow row;
    row.name = package.name;
    switch (package.status) {
    case InstallStatus::Installed:
        row.icon = 0;
        break;
    case InstallStatus::PathDiffers:
        row.icon = 8;
        break;
    case InstallStatus::MissingFiles:
        row.icon = 7;
        break;
    case InstallStatus::NotInstalled:
        row.icon = 5;
        break;
    }
    row.priority = priorityText(package.priority, language);
    row.status = installStatusText(package.status, language);
    row.zipSize = sizeText(package.zipSize, language.Resolve("DSTR_MANAGER_KB"));
    for (const auto &folder : package.defaultFolder)
        row.defaultTo += folder;
    if (row.defaultTo.empty())
        row.defaultTo = language.Resolve("DSTR_MANAGER_AA_ROOT");
    row.action = package.flagged ? language.Resolve("DSTR_MANAGER_AA_SELDOWNLOAD") : std::string();
    return row;
}

std::vector<std::string> installFolderChoices(const AddonDatabase &database, const LanguageTable &language)
{
    std::vector<std::string> choices = {language.Resolve("DSTR_MANAGER_AA_DEFAULT"),
                                        language.Resolve("DSTR_MANAGER_AA_ADDONS"),
                                        language.Resolve("DSTR_MANAGER_AA_RES")};
    for (const FileNode *folder : database.modFolders())
        choices.emplace_back(folder->name().substr(0, folder->name().size() - 1));
    return choices;
}

std::optional<std::string> installRedirectFor(const std::string &boxText, const LanguageTable &language)
{
    std::string text(trimWordSeparators(boxText));
    std::replace(text.begin(), text.end(), '/', '\\');
    if (equalsNoCase(text, language.Resolve("DSTR_MANAGER_AA_DEFAULT")))
        return std::string();
    if (equalsNoCase(text, language.Resolve("DSTR_MANAGER_AA_ADDONS")))
        return std::string("AddOns\\");
    if (equalsNoCase(text, language.Resolve("DSTR_MANAGER_AA_RES")))
        return std::string("Res\\AddOns\\");
    if (text.find_first_of("<>") != std::string::npos || text.starts_with("\\"))
        return std::nullopt;
    return text.substr(0, text.find('\\')) + "\\AddOns\\";
}

bool neededAndMissing(const OfferedPackage &package)
{
    return package.priority >= kRecommended &&
           static_cast<std::int32_t>(package.status) > static_cast<std::int32_t>(InstallStatus::PathDiffers);
}

bool downloadsWanted(OfferedList &list, AddonDatabase &database)
{
    // Every status first: the Manager shows them all, not only up to the first missing one.
    refreshInstallStatus(list, database);
    return std::any_of(list.packages.begin(), list.packages.end(), neededAndMissing);
}

} // namespace garrison
