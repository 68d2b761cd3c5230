#pragma once

#include "platform/FileHandle.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace garrison {

struct FetchResult {
    bool ok = false;
    bool tooLarge = false; // ran past the byte limit
    std::string error;     // why it failed, for the user
};

struct FetchLimits {
    // A transfer that runs past this many bytes fails as "larger than
    // announced"; 0: no limit.
    std::uint64_t maxBytes = 0;
    // file:// URLs, for local mirrors and tests; never reached by a redirect.
    bool allowFile = false;
    // Receiving nothing for this long fails the transfer.
    std::chrono::seconds stallLimit{60};
};

// Why url must not be fetched, or nothing when it may: package URLs come
// from lists anyone can serve, so only http, https and ftp (and file with
// allowFile) are ever opened.
std::optional<std::string> refusedUrl(std::string_view url, bool allowFile);

// The byte limit for a zip announced at this size: a little slack for
// servers that count differently, no more.
std::uint64_t announcedLimit(std::uint64_t announcedSize);

// Takes a block and the size the server announced (0: none); false fails the fetch.
using FetchSink = std::function<bool(const char *data, std::size_t size, std::uint64_t announced)>;

// Hands block after block of url to sink; a sink that answers false fails
// the fetch with sinkError. Otherwise as fetchUrl below.
FetchResult fetchUrlTo(const std::string &url, const FetchSink &sink, const std::string &sinkError,
                       const std::atomic<bool> &cancel, const FetchLimits &limits = {});

// Fetches url into file (open for writing, at path) over HTTP, HTTPS or FTP
// (passive), redirects followed between those, as "Garrison, Auto-Addon
// Client". An HTTP error status is a failed fetch. received is told the
// count of every block; cancel is seen between blocks. A failed or
// cancelled fetch removes the file at path, which must be the caller's own.
FetchResult fetchUrl(const std::string &url, FileHandle file, const std::string &path, const std::atomic<bool> &cancel,
                     const std::function<void(std::size_t)> &received, const FetchLimits &limits = {});

} // namespace garrison
