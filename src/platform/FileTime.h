#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <time.h>

namespace garrison {

// Windows FILETIME: 100-ns units since 1601-01-01 UTC. The database and the
// archives speak in it, so file times are converted at this edge only.
using FileTime = std::uint64_t;

FileTime fileTimeFromTimespec(const timespec &time);
timespec timespecFromFileTime(FileTime time);

std::optional<FileTime> fileModificationTime(const std::string &path);
bool setFileModificationTime(const std::string &path, FileTime time);

} // namespace garrison
