#pragma once

#include "addondb/AddonDatabase.h"

#include <string>
#include <vector>

namespace garrison {

// The mod folders to load besides the manually selected ones so that every
// offered file that is installed only in mod folders gets loaded, choosing
// the set with the fewest add-on files: "modA;modB", or empty.
std::string recommendMods(AddonDatabase &database, const std::vector<std::string> &manualFolders);

} // namespace garrison
