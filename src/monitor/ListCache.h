#pragma once

#include "monitor/ListChunks.h"
#include "platform/FileTime.h"

#include <cstdint>
#include <string>

namespace garrison {

// A received list is kept in the working directory under its id, so the next
// visit to the same server needs no transfer.
std::string listCacheFileName(std::uint64_t listId);
bool writeListCache(const std::string &path, const ListChunks &chunks);
// Fills chunks (already reset to the announced count) from a cache file.
// A file that is cut short, has another count, or holds a chunk that is out
// of place or fails its CRC is not trusted: chunks is emptied again and false
// returned.
bool readListCache(const std::string &path, ListChunks &chunks);
// Deletes the list caches (hex name, ".tmp") written more than 7 days before now.
void sweepListCaches(const std::string &folder, FileTime now);

} // namespace garrison
