#pragma once

#include "addondb/AddonDatabase.h"
#include "addondb/OfferedPackage.h"
#include "lang/LanguageTable.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace garrison {

// Compares an offered package with the database: the state and match of each
// file, whether every match is active, the folder all files share, and the
// install status.
void computeInstallStatus(OfferedPackage &package, AddonDatabase &database);
// A list that has just arrived: every status computed, and the packages that
// are recommended or required and not installed flagged for download.
void evaluateArrivedList(OfferedList &list, AddonDatabase &database);
void refreshInstallStatus(OfferedList &list, AddonDatabase &database);
// Recommended or required, and not installed as the server has it.
bool neededAndMissing(const OfferedPackage &package);
// Evaluates every package: is one of them needed and missing?
bool downloadsWanted(OfferedList &list, AddonDatabase &database);

enum class FlagChange { Flag, Deflag, Toggle };
void changeFlags(OfferedList &list, const std::vector<std::size_t> &selected, FlagChange change);
std::uint64_t plannedDownloadSize(const OfferedList &list);
bool anythingFlagged(const OfferedList &list);
// "1.50 MB to download": hundredths of a megabyte, grouped before the point.
std::string plannedDownloadText(std::uint64_t bytes, const LanguageTable &language);

// The texts of one row of the Auto-Addon server view.
struct OfferedRow {
    std::string name;
    int icon = 0;
    std::string priority;
    std::string status;
    std::string zipSize;
    std::string defaultTo;
    std::string action;
};
OfferedRow offeredRow(const OfferedPackage &package, const LanguageTable &language);
std::string priorityText(std::int32_t priority, const LanguageTable &language);
std::string installStatusText(InstallStatus status, const LanguageTable &language);

// The choices of the install folder box: "<default>", "<addons>", "<res>",
// then every mod folder.
std::vector<std::string> installFolderChoices(const AddonDatabase &database, const LanguageTable &language);
// The install redirect for the box's text, or nothing when the text cannot
// name a folder (the Manager then says "Invalid installation folder").
std::optional<std::string> installRedirectFor(const std::string &boxText, const LanguageTable &language);

} // namespace garrison
