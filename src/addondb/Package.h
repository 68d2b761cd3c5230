#pragma once

#include "addondb/FileNode.h"
#include "lang/LanguageTable.h"
#include "platform/FileTime.h"

#include <cstdint>
#include <string>
#include <vector>

namespace garrison {

// A named group of files and folders of the game folder: an installed add-on,
// a group the user made, or one of the three standard packages.
struct Package {
    std::string name;
    FileTime installDate = 0;
    std::string comment; // the user's comment, or the add-on's INFOURL
    std::string text3;
    std::string text4;
    std::vector<NodeRef> files;

    bool holds(const FileNode *node) const;
    // Takes node out of the file list (the first time it appears) and lowers its count.
    bool release(const FileNode *node);
    void add(const NodeRef &node);
};

enum class PackageState {
    Inactive = 0,
    InactiveMissing = 1,
    Active = 2,
    Missing = 3,
    Partial = 4,
    NoFiles = 5,
    PartialMissing = 6,
};

struct PackageSummary {
    PackageState state = PackageState::Active;
    int folders = 0;
    int files = 0;
    int shared = 0; // entries that another package holds too
    std::uint64_t totalSize = 0;
};

PackageSummary summarize(const Package &package);
std::string packageStateText(PackageState state, const LanguageTable &language);
std::string packageSizeText(std::uint64_t totalSize, const LanguageTable &language);
// The install date in local time, as the user's locale writes date and time.
std::string packageDateText(FileTime installDate);
FileTime currentFileTime();

} // namespace garrison
