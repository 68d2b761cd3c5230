#pragma once

#include "monitor/ListChunks.h"
#include "platform/FileTime.h"

#include <cstdint>
#include <string>

namespace garrison {

// The Auto-Addon server a cached list came from (address in network order).
struct ListSource {
    std::uint32_t address = 0;
    std::uint16_t port = 0;
};

// A received list is kept in the working directory under its id, so the next
// visit to the same server needs no transfer. The file ends with the server
// that sent it: anyone can announce any list id, so a list is never taken
// from the cache for another server.
std::string listCacheFileName(std::uint64_t listId);
bool writeListCache(const std::string &path, const ListChunks &chunks, ListSource source);
// Fills chunks (already reset to the announced count) from a cache file.
// A file that is cut short, has another count, holds a chunk that is out of
// place or fails its CRC, or came from another server (or says not where
// from) is not trusted: chunks is emptied again and false returned.
bool readListCache(const std::string &path, ListChunks &chunks, ListSource source);
// Deletes the list caches (hex name, ".tmp") written more than 7 days before now.
void sweepListCaches(const std::string &folder, FileTime now);

} // namespace garrison
