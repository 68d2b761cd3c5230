#pragma once

#include "gameserver/GameServerPeer.h"

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace garrison::peers {

// Many loopback game servers served by one thread, for a master's list of
// thousands: each keeps its two ports and answers the sockets info query and
// "\status\" as a single GameServerPeer does.
class GameServerFleet {
public:
    explicit GameServerFleet(std::vector<GameServerConfig> servers);
    ~GameServerFleet();

    bool start(); // false when a port cannot be bound
    void stop();

private:
    void serve();

    std::vector<std::unique_ptr<GameServerPeer>> m_servers; // build the answers
    std::vector<int> m_sockets;                             // game port, query port, per server
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
};

} // namespace garrison::peers
