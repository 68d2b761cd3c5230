#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace garrison::test {

// zlib's CRC-32 of text.
std::uint32_t crcOf(const std::string &text);
// size bytes (at least 4) whose CRC-32 is crc: zeros, then four chosen bytes.
std::string contentWithCrc(std::size_t size, std::uint32_t crc);

} // namespace garrison::test
