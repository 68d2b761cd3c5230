#include "common/SizeText.h"

#include <cstdio>

namespace garrison {

std::string groupedNumber(std::uint64_t value)
{
    const std::string digits = std::to_string(value);
    std::string out;
    out.reserve(digits.size() + digits.size() / 3);
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += ',';
        out += digits[i];
    }
    return out;
}

std::string sizeText(std::uint64_t bytes, std::string_view unit)
{
    // 64-bit so that sizes near 4 GiB do not wrap to 0 KB.
    const std::uint64_t kilobytes = bytes / 1024 + (bytes % 1024 ? 1 : 0);
    std::string out = groupedNumber(kilobytes);
    out += unit;
    return out;
}

std::string crcText(std::uint32_t crc)
{
    char text[9];
    std::snprintf(text, sizeof text, "%08x", crc);
    return text;
}

} // namespace garrison
