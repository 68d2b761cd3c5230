#pragma once

#include "platform/FileSystem.h"

#include <string>

namespace garrison {

// Renames the entry from of folder (a native path ending in "/") to to,
// never replacing anything. The game sees names without regard to case, so
// an entry whose name differs from to only in case counts as taken too.
FsStatus renameInFolder(const std::string &folder, const std::string &from, const std::string &to);

} // namespace garrison
