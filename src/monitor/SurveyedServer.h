#pragma once

#include "monitor/MasterList.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace garrison {

// What one listed server said of itself, for a browser row.
struct SurveyedServer {
    ListedServer listed;
    bool answered = false;
    std::uint32_t ping = 0; // ms from the query to its first answer
    std::string name;
    std::string gameName; // "opflash", "opflashr"
    std::string map;
    std::string mission;
    std::string version; // "1.99"
    std::string mods;    // "RES;@WW2"
    std::uint32_t players = 0;
    std::uint32_t maxPlayers = 0; // as the main window shows it: the server's figure less its two extra slots
    std::uint32_t state = 0;
    bool password = false;
    std::vector<std::string> playerNames;
    bool infoTaken = false; // the info answer's fields win over the status answer's

    // A whole "\status\" answer, as the fragments joined it.
    void takeStatusAnswer(std::string_view answer);
    // The sockets info answer from the game port: the server's own name, mission, state and version.
    void takeInfoAnswer(std::span<const std::uint8_t> datagram);
};

} // namespace garrison
