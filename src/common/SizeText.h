#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace garrison {

// Decimal with a comma between groups of three digits: 1234567 -> "1,234,567".
std::string groupedNumber(std::uint64_t value);
// Kilobytes rounded up, grouped, then the unit text: "1,025 KB".
std::string sizeText(std::uint64_t bytes, std::string_view unit);
// Eight lower-case hex digits: 0x1234 -> "00001234".
std::string crcText(std::uint32_t crc);

} // namespace garrison
