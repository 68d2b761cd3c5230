#pragma once

#include "aaserver/ZipCatalogue.h"

#include <cstdint>
#include <string>
#include <vector>

namespace garrison {

// What garrison-aaserver serves and where: its config file, or the same
// settings given as flags.
struct AaServerConfig {
    std::string game;     // HOST:PORT of the game server beside it
    std::string password; // the game server's
    std::string bind = "0.0.0.0";
    std::uint16_t port = 0; // 0: the game port + 20, where clients look first
    // What one client address may be sent a minute: enough for several whole
    // lists, and all that a spoofed flood can send its victim.
    std::uint32_t rateLimitKib = 1024;
    CatalogueSettings catalogue;
};

// Reads the INI file into config (keys it does not set keep their values).
// False, with the reason in error, for an unreadable file, a bad line, an
// unknown key or a bad value.
bool loadAaServerConfig(const std::string &path, AaServerConfig &config, std::string &error);

// What the server would refuse to start with, one line each; nothing when it can start.
// Without the game server only the list can be checked.
std::vector<std::string> aaServerConfigProblems(const AaServerConfig &config);

} // namespace garrison
