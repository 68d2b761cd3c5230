#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

namespace garrison {

struct FetchResult {
    bool ok = false;
    std::string error; // why it failed, for the user
};

// Fetches url into the file at path over HTTP (or FTP, passive), redirects
// followed, as "Garrison, Auto-Addon Client". An HTTP error status is a
// failed fetch; so is a transfer that receives nothing for stallLimit.
// received is told the count of every block; cancel is seen between blocks.
// A failed or cancelled fetch removes the file.
FetchResult fetchUrl(const std::string &url, const std::string &path, const std::atomic<bool> &cancel,
                     const std::function<void(std::size_t)> &received,
                     std::chrono::seconds stallLimit = std::chrono::seconds(60));

} // namespace garrison
