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

    // A missing or unreadable file gives the defaults.
    static Settings load(const std::string &path = kFileName);
    // Writes a temporary file beside the old one and renames it over it, so
    // a crash or a full disk never leaves a half-written list.
    static bool save(const Settings &settings, const std::string &path = kFileName);
};

} // namespace garrison
