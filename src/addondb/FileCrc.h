#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace garrison {

// CRC-32 (zlib's) of a file's contents; nothing when it cannot be read.
std::optional<std::uint32_t> fileCrc(const std::string &path);

} // namespace garrison
