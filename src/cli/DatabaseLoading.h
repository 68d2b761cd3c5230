#pragma once

#include "addondb/AddonDatabase.h"
#include "servers/GameFolder.h"
#include "servers/Settings.h"

#include <optional>
#include <string>
#include <vector>

namespace garrison::cli {

// garrison.sav of the working directory (the defaults when there is none);
// nothing, said on stderr, when the file there cannot be read: it is left
// as it is and the command fails.
std::optional<Settings> loadSettings();
// The game folder: the one given, else garrison.sav's if it still holds the
// game, else what discovery finds. Says on stderr why there is none.
std::optional<FoundGameFolder> gameFolderOf(const std::string &given);
// garrison.dat of the working directory for that game folder, derived.
bool loadDatabase(AddonDatabase &database, const std::string &gameFolderOption);

// The nodes of the package named name; says so on stderr when there is none.
std::optional<std::vector<FileNode *>> packageNodes(const AddonDatabase &database, const std::string &name);

} // namespace garrison::cli
