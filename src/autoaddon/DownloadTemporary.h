#pragma once

#include "platform/FileHandle.h"

#include <cstddef>
#include <optional>
#include <string>

namespace garrison {

// The temporary file's name for a URL: its last element with the extension
// made ".tmp" (added when there is none); an element that is no plain file
// name gets "download-<index>.tmp".
std::string temporaryName(const std::string &url, std::size_t index);

struct DownloadTemporary {
    std::string path;
    FileHandle file;
};

// Creates the temporary file of a download in folder (ending in "/", or
// empty for the working directory), never over a file that is there: when
// the name is taken, "-1", "-2", ... go before ".tmp". Nothing when it
// cannot be created; errno tells why.
std::optional<DownloadTemporary> createDownloadTemporary(const std::string &folder, const std::string &url,
                                                         std::size_t index);

} // namespace garrison
