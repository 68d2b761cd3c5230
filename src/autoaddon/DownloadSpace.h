#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace garrison {

// Why a package cannot be downloaded and installed for lack of room, or
// nothing: the zip goes to workFolder, its unpacked files to gameFolder (both
// together when they share a file system).
std::optional<std::string> diskSpaceProblem(const std::string &workFolder, const std::string &gameFolder,
                                            std::uint64_t zipBytes, std::uint64_t unpackedBytes);

} // namespace garrison
