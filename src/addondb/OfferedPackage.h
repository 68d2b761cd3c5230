#pragma once

#include "addondb/FileNode.h"
#include "addondb/Package.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace garrison {

enum class InstallStatus : std::int32_t {
    Installed = 10,
    PathDiffers = 11,
    MissingFiles = 12,
    NotInstalled = 13,
};

// A package an Auto-Addon server offers: the package record with its own
// tree of files (their status says Missing, Present or DiffPath once the
// status is computed), where to fetch it, and what the plan does with it.
struct OfferedPackage : Package {
    std::string url;
    std::uint32_t zipSize = 0;
    std::int32_t priority = 0;
    NodeRef tree; // a root folder holding the package's files
    // The installed node found for each entry of files, or null.
    std::vector<FileNode *> matches;
    InstallStatus status = InstallStatus::NotInstalled;
    bool allActive = true;
    std::vector<std::string> defaultFolder; // leading folders all files share
    bool flagged = false;
};

// One file an Auto-Addon server wants switched off: name (with "\"), size, CRC.
struct DeactivationEntry {
    std::string name;
    std::uint32_t size = 0;
    std::uint32_t crc = 0;

    bool operator==(const DeactivationEntry &) const = default;
};

// What the database keeps of the selected server's Auto-Addon server.
struct OfferedList {
    std::array<std::string, 10> serverTexts; // name, info, admin, comserver, deactivation text, five kept
    std::vector<OfferedPackage> packages;
    std::vector<DeactivationEntry> deactivations;
    std::string installRedirect; // "", "AddOns\", "Res\AddOns\" or "<mod>\AddOns\"
    bool installExistingFiles = true;
};

} // namespace garrison
