#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace garrison {

// CRC-32 (zlib's) of a file's contents; nothing when it cannot be read.
// listedSize is the size the folder listing gave: a read that comes up short
// right there is the end of a regular file, which saves every file's last,
// empty read. A file that changed size since is still read to its end.
std::optional<std::uint32_t> fileCrc(const std::string &path, std::uint64_t listedSize);

} // namespace garrison
