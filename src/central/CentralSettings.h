#pragma once

#include "central/CentralProtocol.h"

#include <string>
#include <vector>

namespace garrison {

// What garrison-central serves: its config file, or the same as flags.
struct CentralSettings {
    std::string bind = "0.0.0.0";
    std::uint16_t port = 48124;
    NewsContent news;
    std::vector<std::string> polled;   // HOST:PORT of game servers to list while they run Auto-Addon
    std::vector<BrowserEntry> entries; // listed as they stand
    std::size_t entriesPerDatagram = 20;
};

// "ADDRESS:PORT:PLAYERS:FLAGS:NAME" (the name may hold colons); false when it is none.
bool parseBrowserEntry(const std::string &text, BrowserEntry &entry);

// Reads the INI file into settings; false, with the reason in error, for
// an unreadable file, a bad line, an unknown key or a bad value.
bool loadCentralSettings(const std::string &path, CentralSettings &settings, std::string &error);

} // namespace garrison
