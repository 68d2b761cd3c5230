#pragma once

#include "addondb/OfferedPackage.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace garrison {

// Reads the block an Auto-Addon server sends: ten texts (the fifth is the
// deactivation text), then the packages with their file trees. The reader
// stops at the end of the block: packages read whole before a cut are kept,
// the one that was cut and all after it are dropped. False when the block was
// cut short.
bool parseOfferedBlock(std::span<const std::uint8_t> block, OfferedList &list);

// "name:size:crc:" entries, "/" turned into "\"; stops at the first entry
// that lacks one of its three colons.
std::vector<DeactivationEntry> parseDeactivationText(std::string_view text);

} // namespace garrison
