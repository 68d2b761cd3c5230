#pragma once

#include <optional>
#include <span>
#include <string>

namespace garrison {

// A text stored as its 32-bit little-endian size followed by one zlib stream.
// Nothing when the data is cut short, corrupt or not of the stated size.
std::optional<std::string> unpackText(std::span<const unsigned char> packed);

} // namespace garrison
