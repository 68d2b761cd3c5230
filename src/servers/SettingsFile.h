#pragma once

#include "servers/Settings.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace garrison {

// "garrison.sav": format versions 1 to 9 are read, 9 is written.
class SettingsFile {
public:
    static constexpr std::uint32_t kFormatVersion = 9;
    static constexpr const char *kFileName = "garrison.sav";

    // Whatever the bytes hold; what is missing or unreadable keeps its default.
    static Settings decode(std::span<const std::uint8_t> bytes);
    static std::vector<std::uint8_t> encode(const Settings &settings);

    struct Read {
        Settings settings; // the defaults when the file is missing or cannot be read
        // Why the file that is there cannot be read; empty when it was read
        // or is missing. Such a file must not be saved over: it holds the
        // player's list.
        std::string problem;
    };
    static Read read(const std::string &path = kFileName);
    // Why these bytes are no server list this program can read, or empty.
    static std::string unreadable(std::span<const std::uint8_t> bytes);
    // Writes a temporary file beside the old one and renames it over it, so
    // a crash or a full disk never leaves a half-written list. A new file is
    // readable by its owner only: it holds passwords.
    static bool save(const Settings &settings, const std::string &path = kFileName);
};

} // namespace garrison
