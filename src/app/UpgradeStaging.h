#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace garrison {

// Extracts an upgrade archive into staging, a folder of its own, never over
// the running program. Member names that are absolute, carry a drive letter
// or climb with ".." refuse the archive before anything is written; every
// member's CRC-32 is checked. On any failure staging is removed again and
// the reason returned; empty means every file is staged. archive: the very
// bytes whose signature was checked, so nothing can swap them in between.
std::string stageUpgrade(std::span<const std::uint8_t> archive, const std::string &staging);

} // namespace garrison
