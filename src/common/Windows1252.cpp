#include "common/Windows1252.h"

#include <array>

namespace garrison {

namespace {

// 0x80-0x9F; 0 marks the five bytes that Windows-1252 leaves undefined.
constexpr std::array<std::uint16_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::uint32_t codePoint(unsigned char c)
{
    if (c >= 0x80 && c < 0xA0) {
        const std::uint16_t mapped = kHighControls[c - 0x80];
        return mapped ? mapped : 0xFFFD;
    }
    return c;
}

} // namespace

void appendUtf8(std::string &out, std::uint32_t point)
{
    if (point < 0x80) {
        out += static_cast<char>(point);
    } else if (point < 0x800) {
        out += static_cast<char>(0xC0 | (point >> 6));
        out += static_cast<char>(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
        out += static_cast<char>(0xE0 | (point >> 12));
        out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (point & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (point >> 18));
        out += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (point & 0x3F));
    }
}

std::string windows1252ToUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text)
        appendUtf8(out, codePoint(static_cast<unsigned char>(c)));
    return out;
}

char windows1252FromUtf16(std::uint16_t unit)
{
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF))
        return static_cast<char>(unit);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == unit)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

std::string utf8ToWindows1252(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80             ? 1
                                   : (lead & 0xe0) == 0xc0 ? 2
                                   : (lead & 0xf0) == 0xe0 ? 3
                                   : (lead & 0xf8) == 0xf0 ? 4
                                                           : 0;
        bool valid = length > 0 && i + length <= text.size();
        std::uint32_t point = length == 1 ? lead : length == 2 ? lead & 0x1f : length == 3 ? lead & 0x0f : lead & 0x07;
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xc0) == 0x80;
            point = (point << 6) | (next & 0x3f);
        }
        if (!valid) {
            out += text[i++];
            continue;
        }
        out += point < 0x80     ? static_cast<char>(point)
               : point > 0xffff ? '?'
                                : windows1252FromUtf16(static_cast<std::uint16_t>(point));
        i += length;
    }
    return out;
}

} // namespace garrison
