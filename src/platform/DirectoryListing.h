#pragma once

#include "platform/FileSystem.h"

#include <optional>
#include <string>
#include <vector>

namespace garrison {

// The entries of a folder (without "." and ".."), sorted ignoring case as NTFS
// lists them, so results never depend on the file system's hash order.
// nullopt when the folder cannot be read.
std::optional<std::vector<EntryInfo>> listDirectory(const std::string &folder);

// The spelling on disk of the entry of folder whose name equals name ignoring
// case; an exact match wins over one that differs only in case.
std::optional<std::string> findEntryIgnoringCase(const std::string &folder, const std::string &name);

} // namespace garrison
