#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace garrison::peers {

struct ScriptedPlayer {
    std::string name;
    std::string score;
    std::string deaths;
    double joinSeconds = 0;   // present from this time on
    double leaveSeconds = -1; // gone from this time on; -1 = stays
};

struct ScriptedState {
    double atSeconds = 0;
    std::uint32_t state = 0;
};

enum class FragmentOrder { InOrder, Reverse, Shuffle };

// What the loopback game server says and how.
struct GameServerConfig {
    std::uint32_t address = 0x0100007f; // 127.0.0.1 in network order
    std::uint16_t gamePort = 2302;
    std::uint16_t queryPort = 0; // 0 = game port + 1

    bool answerSockets = true;
    bool answerVbs = false;
    bool answerDirectPlay = false;
    bool answerStatus = true;

    std::string name = "Garrison loopback server";
    std::string mission = "CTF Eden";
    std::string map = "eden";
    std::string gameName = "opflashr";
    std::string mod = "RES";
    std::string platform = "linux";
    std::string timeLeft = "15";
    std::string param1;
    std::string param2;
    std::uint32_t version = 199;
    std::uint32_t requiredVersion = 199;
    std::uint32_t maxPlayers = 34;
    bool password = false;
    int equalModRequired = 1;

    std::vector<ScriptedState> states{{0, 14}};
    std::vector<ScriptedPlayer> players;

    std::size_t fragmentSize = 200; // bytes of key/value text per datagram
    FragmentOrder order = FragmentOrder::InOrder;
    std::set<int> dropFragments; // numbers counted from 1
    std::size_t infoLength = 0;  // 0 = the retail 434 bytes; else cut or padded to this length
};

} // namespace garrison::peers
