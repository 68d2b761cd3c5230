#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace garrison::test {

// size bytes (at least 4) whose CRC-32 is crc: zeros, then four chosen bytes.
std::string contentWithCrc(std::size_t size, std::uint32_t crc);

} // namespace garrison::test
