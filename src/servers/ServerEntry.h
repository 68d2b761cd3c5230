#pragma once

#include <string>

namespace garrison {

// One network server or local set-up of the server list.
struct ServerEntry {
    std::string address; // host, optionally ":" and a port
    std::string password;
    std::string name;
    std::string startupParameters;
    std::string manualMods;    // ";"-separated, always loaded
    std::string automaticMods; // last chosen from the Auto-Addon recommendation
    bool automaticModSelection = true;
    bool local = false;
    std::string executable; // empty: chosen by the game version
    bool loadServerMods = false;

    bool operator==(const ServerEntry &) const = default;
};

} // namespace garrison
