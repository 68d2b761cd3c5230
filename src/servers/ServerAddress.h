#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace garrison {

// A server entry's address split at its first ":", both parts trimmed of
// white space; without ":" the port text is empty.
struct ServerAddress {
    std::string host;
    std::string portText;
};

ServerAddress splitServerAddress(std::string_view address);
// The port text as a port: empty means 0 (not known); anything but 0 to
// 65535 in decimal is nullopt.
std::optional<std::uint16_t> parsePortText(std::string_view text);

} // namespace garrison
