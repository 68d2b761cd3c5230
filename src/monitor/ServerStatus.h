#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace garrison {

enum class Implementation : std::int32_t {
    Unknown = 0,
    DirectPlay = 1,
    Sockets = 2,
    Vbs1 = 3,
};

struct PlayerEntry {
    std::string name;
    std::string score;
    std::string deaths;

    bool operator==(const PlayerEntry &) const = default;
};

// Everything known about the monitored server. Texts are as the server sent
// them (Windows-1252).
struct ServerStatus {
    std::string description;
    std::string shownDescription;
    std::string mission;
    std::string shownMission;
    std::uint32_t players = 0;
    std::uint32_t version = 0;
    std::uint32_t requiredVersion = 0;
    std::uint32_t gameState = 0;
    std::uint32_t port = 0;
    std::string mod;
    int equalModRequired = 0;
    int announcedState = -1;
    std::uint32_t ping = 0;
    bool passwordRequired = false;
    Implementation implementation = Implementation::Unknown;
    std::string gameName;
    std::string map;
    std::string maxPlayers;
    std::string timeLeft;
    std::string param1;
    std::string param2;
    std::string platform;
    std::string previousTimeLeft;
    std::vector<PlayerEntry> playerList;

    // Answers decoded since the record was cleared, so that a caller without
    // a window can tell when there is something to show.
    std::uint32_t infoAnswers = 0;
    std::uint32_t statusAnswers = 0;
};

// The record with the status lock that guards it: the network worker takes
// it to write, the UI thread to read.
struct StatusStore {
    std::mutex lock;
    ServerStatus record;

    ServerStatus snapshot()
    {
        std::lock_guard guard(lock);
        return record;
    }
    void clear()
    {
        std::lock_guard guard(lock);
        record = ServerStatus{};
    }
};

} // namespace garrison
