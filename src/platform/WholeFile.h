#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace garrison {

// A file's whole contents; nothing when it cannot be opened or read (errno
// then says why).
std::optional<std::vector<std::uint8_t>> readWholeFile(const std::string &path);
// Writes bytes to temporary, flushes them to the device, then renames the
// temporary over path, so that path always holds either the old or the new
// contents, never a part. On failure the temporary is removed, path stays
// and errno says why.
// The file keeps its permissions (a new one gets newMode); a symbolic link
// stays a link and its target is replaced, with the temporary beside it.
bool replaceFile(const std::string &path, const std::string &temporary, std::span<const std::uint8_t> bytes,
                 unsigned newMode = 0644);

} // namespace garrison
