#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace garrison {

enum class Implementation : std::int32_t {
    Unknown = 0,
    DirectPlay = 1,
    Sockets = 2,
    Vbs1 = 3,
};

enum class AddonServerState : std::int32_t {
    NotAnswered = 0,
    Transferring = 1, // the list announcement came
    Absent = 2,       // two list requests unanswered
    TimedOut = 3,     // chunks still missing after two re-request rounds
    PasswordRefused = 4,
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
    std::int64_t announcedState = -1; // -1: none yet
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

    AddonServerState addonServerState = AddonServerState::NotAnswered;
    int expectedChunks = 10;
    int receivedChunks = 0;
    // The elapsed clock of the monitor cycle; the Auto-Addon server may give
    // it a base from the mission's real start.
    std::uint32_t elapsedBase = 0;
    std::uint32_t elapsedStart = 0;
    std::int64_t elapsedState = -1;
    bool elapsedKnown = false;

    // Answers decoded since the record was cleared, so that a caller without
    // a window can tell when there is something to show.
    std::uint32_t infoAnswers = 0;
    std::uint32_t statusAnswers = 0;
};

// A server that runs an Auto-Addon server, as the central server lists it.
struct BrowserEntry {
    std::uint32_t address = 0; // network order
    std::uint16_t port = 0;
    std::uint8_t players = 0;
    std::uint8_t flags = 0; // bit 0: a Flashpoint Resistance server
    std::string name;

    bool operator==(const BrowserEntry &) const = default;
};

struct NewsAnswer {
    std::string pictureUrl;
    std::string newsText;
    std::string link;
    bool upgradeAvailable = false;

    bool operator==(const NewsAnswer &) const = default;
};

// The record with the status lock that guards it: the network worker takes
// it to write, the UI thread to read. The fields after the record outlive a
// change of the selected server.
struct StatusStore {
    std::mutex lock;
    ServerStatus record;

    bool addonDatabaseReady = false;
    std::string password; // the selected entry's, sent to its Auto-Addon server
    // Decompressed package list, waiting for the UI thread to take it.
    std::optional<std::vector<std::uint8_t>> offeredList;
    NewsAnswer news;
    std::uint32_t newsAnswers = 0;
    std::vector<BrowserEntry> browserList;
    std::string upgradeStatus;

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
