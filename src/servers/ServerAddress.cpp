#include "servers/ServerAddress.h"

namespace garrison {

namespace {

std::string_view trimmed(std::string_view text)
{
    constexpr std::string_view kSpace = " \t\r\n\v\f";
    const auto first = text.find_first_not_of(kSpace);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

} // namespace

ServerAddress splitServerAddress(std::string_view address)
{
    const auto colon = address.find(':');
    if (colon == std::string_view::npos)
        return {std::string(trimmed(address)), {}};
    return {std::string(trimmed(address.substr(0, colon))), std::string(trimmed(address.substr(colon + 1)))};
}

std::optional<std::uint16_t> parsePortText(std::string_view text)
{
    if (text.empty())
        return 0;
    std::uint32_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<std::uint32_t>(c - '0');
        if (value > 65535)
            return std::nullopt;
    }
    return static_cast<std::uint16_t>(value);
}

} // namespace garrison
