#pragma once

#include "aaserver/AaServerConfig.h"
#include "aaserver/ServedList.h"
#include "monitor/MonitorEndpoint.h"
#include "monitor/SocketEndpoint.h"

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace garrison {

// An Auto-Addon server: serves the list made from its folder of zips to
// every client that knows the password, rebuilds it when the folder
// changes, and tells clients how long the current game state of its game
// server has lasted, which it learns by polling that server as a client would.
class AddonServer final : public SocketEndpoint {
public:
    // log takes one line per event (without its end of line).
    AddonServer(AaServerConfig config, std::function<void(const std::string &)> log);
    ~AddonServer() override;

    // Binds the port and makes the first list; false, with the reason logged, when it cannot serve.
    bool open();
    std::uint16_t port() const { return m_config.port; }
    std::uint64_t listId() const;

protected:
    void onRead(int error) override;
    void onTick() override;

private:
    void rebuild();
    void trackGameState();
    std::optional<std::pair<std::uint32_t, std::uint16_t>> elapsedAndState() const;
    void send(std::uint32_t address, std::uint16_t port, const std::vector<std::uint8_t> &datagram);

    AaServerConfig m_config;
    std::function<void(const std::string &)> m_log;
    mutable std::mutex m_listLock;
    std::unique_ptr<ServedList> m_list;
    int m_watch = -1; // inotify on the zips folder
    std::uint32_t m_changedAt = 0;
    bool m_changed = false;

    StatusStore m_gameStatus;
    std::unique_ptr<MonitorEndpoint> m_game;
    std::optional<std::uint32_t> m_gameState;
    std::uint32_t m_stateSince = 0;
};

} // namespace garrison
