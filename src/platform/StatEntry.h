#pragma once

#include "platform/FileSystem.h"

#include <sys/stat.h>

namespace garrison {

inline EntryInfo entryFromStat(std::string name, const struct stat &info)
{
    EntryInfo entry;
    entry.name = std::move(name);
    entry.folder = S_ISDIR(info.st_mode);
    entry.special = !entry.folder && !S_ISREG(info.st_mode);
    entry.size = entry.folder ? 0 : static_cast<std::uint64_t>(info.st_size);
    entry.time = fileTimeFromTimespec(info.st_mtim);
    entry.hidden = !entry.name.empty() && entry.name.front() == '.';
    entry.device = static_cast<std::uint64_t>(info.st_dev);
    entry.inode = static_cast<std::uint64_t>(info.st_ino);
    return entry;
}

} // namespace garrison
