#pragma once

#include "gameserver/GameServerConfig.h"
#include "peers/UdpPort.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

namespace garrison::peers {

// A game server on loopback that answers the info queries on its game port
// and "\status\" on its query port, following a script of game states and
// players over time.
class GameServerPeer {
public:
    explicit GameServerPeer(GameServerConfig config);
    ~GameServerPeer();

    bool start(); // false when a port cannot be bound
    void stop();

    const GameServerConfig &config() const { return m_config; }
    std::uint32_t currentState() const;
    std::vector<ScriptedPlayer> currentPlayers() const;

    // Every query received, as "<kind> <port>" (kinds: sockets, vbs, dplay,
    // status, unknown), for tests of what a client sends.
    std::vector<std::string> receivedQueries() const;

    // The datagrams of one answer, before order and drops are applied.
    std::vector<std::uint8_t> socketsAnswer(bool vbs) const;
    std::vector<std::uint8_t> directPlayAnswer(std::span<const std::uint8_t> query) const;
    std::vector<std::string> statusAnswer(int queryId) const;

private:
    void handle(UdpPort &endpoint, std::span<const std::uint8_t> datagram, std::uint32_t address, std::uint16_t port);
    void sendStatus(UdpPort &endpoint, std::uint32_t address, std::uint16_t port);
    double elapsedSeconds() const;
    void record(const std::string &query);

    GameServerConfig m_config;
    std::chrono::steady_clock::time_point m_started;
    std::unique_ptr<UdpPort> m_game;
    std::unique_ptr<UdpPort> m_query;
    mutable std::mutex m_lock;
    std::vector<std::string> m_queries;
    std::atomic<int> m_nextQueryId{1};
};

} // namespace garrison::peers
