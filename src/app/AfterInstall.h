#pragma once

#include "addondb/AddonDatabase.h"
#include "common/Failure.h"

#include <string>

namespace garrison {

// The database saved to its file; the failure names the file and the system's reason.
Failure saveDatabase(AddonDatabase &database, const std::string &databaseFile);

// What follows a change of the database, the same for the Manager and the
// command line: every offered package's install status found again (their
// matches point into the tree the change may have pruned), then the
// database saved (unless databaseFile is empty: a database kept in memory).
Failure settleAfterChange(AddonDatabase &database, const std::string &databaseFile);

// What follows an install or a download: the mod folders and the detection
// found again from the new files, then all of the above.
Failure settleAfterInstall(AddonDatabase &database, const std::string &databaseFile);

} // namespace garrison
