#pragma once

#include <cstdint>
#include <vector>

namespace garrison {

// Appends an unsigned value in little-endian byte order, as every binary
// format of the program stores it.
template <typename T>
void appendLittleEndian(std::vector<std::uint8_t> &out, T value)
{
    for (std::size_t i = 0; i < sizeof(T); ++i)
        out.push_back(static_cast<std::uint8_t>(static_cast<std::uint64_t>(value) >> (8 * i)));
}

} // namespace garrison
