#pragma once

#include "addondb/AddonDatabase.h"

#include <string>
#include <vector>

namespace garrison {

inline constexpr const char *kJournalFileName = "garrison.journal";

// After the database file was loaded (or found missing): records changes in
// the journal beside it from now on, and first deals with one a crash left
// behind. Installations and activation changes the file does not know are
// undone: what they created is removed (never anything else) and their
// renames are taken back; an uninstallation is completed and the file saved.
// One sentence per change dealt with, for the player.
std::vector<std::string> openChangeJournal(AddonDatabase &database, const std::string &databasePath);

} // namespace garrison
