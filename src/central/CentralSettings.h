#pragma once

#include "central/CentralProtocol.h"

#include <string>
#include <vector>

namespace garrison {

// Entries per browser datagram at most: the byte limit packs far fewer anyway.
constexpr std::size_t kMaxPerDatagram = 1000;

// What garrison-central serves: its config file, or the same as flags.
struct CentralSettings {
    std::string bind = "0.0.0.0";
    std::uint16_t port = 48124;
    NewsContent news;
    std::vector<std::string> polled;   // HOST:PORT of game servers to list while they run Auto-Addon
    std::vector<BrowserEntry> entries; // listed as they stand
    std::size_t entriesPerDatagram = 20;
    // KiB a minute that one address, and one /24 network, may be sent:
    // several whole lists for a player, and all that a spoofed flood brings its victim.
    std::uint32_t rateLimitKib = 256;
    std::uint32_t networkRateLimitKib = 1024;
};

// "ADDRESS:PORT:PLAYERS:FLAGS:NAME" (the name may hold colons); false when it is none.
bool parseBrowserEntry(const std::string &text, BrowserEntry &entry);

// Reads the INI file into settings; false, with the reason in error, for
// an unreadable file, a bad line, an unknown key or a bad value.
bool loadCentralSettings(const std::string &path, CentralSettings &settings, std::string &error);

// What the server would refuse, one line each; nothing when it can start.
std::vector<std::string> centralSettingsProblems(const CentralSettings &settings);

} // namespace garrison
