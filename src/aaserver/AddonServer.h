#pragma once

#include "aaserver/AaServerConfig.h"
#include "aaserver/ClientSessions.h"
#include "aaserver/ListBuilder.h"
#include "aaserver/ServedList.h"
#include "monitor/DaemonAnswers.h"
#include "monitor/MonitorEndpoint.h"
#include "monitor/SocketEndpoint.h"
#include "platform/FolderWatch.h"

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>

namespace garrison {

// An Auto-Addon server: serves the list made from its folder of zips to
// every client that knows the password, rebuilds it when the folder
// changes, and tells clients how long the current game state of its game
// server has lasted, which it learns by polling that server as a client would.
// On the open Internet it is no reflector: the list goes only to a client
// that asked for it with the password, and no address is sent more than its
// budget a minute.
class AddonServer final : public SocketEndpoint {
public:
    // log takes one line per event (without its end of line).
    AddonServer(AaServerConfig config, std::function<void(const std::string &)> log);
    ~AddonServer() override;

    // Binds the port and starts making the list; false, with the reason logged, when it cannot serve.
    bool open();
    std::uint16_t port() const { return m_config.port; }
    // 0 until the first list is made.
    std::uint64_t listId() const;
    // Reads the folder again (SIGHUP), whether or not a change was seen.
    void rescan();

protected:
    void onRead(int error) override;
    void onTick() override;

private:
    void take(Catalogue &&catalogue);
    void trackGameState();
    std::optional<std::pair<std::uint32_t, std::uint16_t>> elapsedAndState() const;

    AaServerConfig m_config;
    std::function<void(const std::string &)> m_log;
    mutable std::mutex m_listLock;
    std::unique_ptr<ServedList> m_list;
    std::set<std::string> m_problems; // of the last catalogue, each logged once
    std::unique_ptr<ListBuilder> m_builder;
    std::unique_ptr<FolderWatch> m_watch;
    std::uint32_t m_changedAt = 0;
    bool m_changed = false;

    // The serving thread's own.
    ClientSessions m_sessions;
    DaemonAnswers m_answers;

    StatusStore m_gameStatus;
    std::unique_ptr<MonitorEndpoint> m_game;
    std::optional<std::uint32_t> m_gameState;
    std::uint32_t m_stateSince = 0;
};

} // namespace garrison
