#include "common/DisplayText.h"

#include "common/GameCodePage.h"

#include <cstdint>

namespace garrison {

bool isValidUtf8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t extra = 0;
        std::uint32_t point = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead < 0xE0) {
            extra = 1;
            point = lead & 0x1F;
        } else if (lead >= 0xE0 && lead < 0xF0) {
            extra = 2;
            point = lead & 0x0F;
        } else if (lead >= 0xF0 && lead < 0xF5) {
            extra = 3;
            point = lead & 0x07;
        } else {
            return false;
        }
        if (text.size() - i <= extra)
            return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            point = (point << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and points beyond U+10FFFF are not UTF-8.
        if ((extra == 2 && point < 0x800) || (extra == 3 && (point < 0x10000 || point > 0x10FFFF)) ||
            (point >= 0xD800 && point <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

std::string displayText(std::string_view text)
{
    return isValidUtf8(text) ? std::string(text) : gameTextToUtf8(text);
}

} // namespace garrison
