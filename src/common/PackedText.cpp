#include "common/PackedText.h"

#include <zlib.h>

#include <cstdint>

namespace garrison {

namespace {

// Our own resources are a few dozen kilobytes; refuse anything absurd.
constexpr std::uint32_t kMaxUnpackedSize = 16u << 20;

} // namespace

std::optional<std::string> unpackText(std::span<const unsigned char> packed)
{
    if (packed.size() < 4)
        return std::nullopt;
    std::uint32_t size = 0;
    for (int i = 0; i < 4; ++i)
        size |= static_cast<std::uint32_t>(packed[i]) << (8 * i);
    if (size > kMaxUnpackedSize)
        return std::nullopt;
    std::string text(size, '\0');
    uLongf length = size;
    const int result = uncompress(reinterpret_cast<Bytef *>(text.data()), &length, packed.data() + 4,
                                  static_cast<uLong>(packed.size() - 4));
    if (result != Z_OK)
        return std::nullopt;
    text.resize(length);
    return text;
}

} // namespace garrison
