#pragma once

#include "central/CentralSettings.h"
#include "monitor/DaemonAnswers.h"
#include "monitor/MonitorEndpoint.h"
#include "monitor/SocketEndpoint.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace garrison {

// The central server: tells every Garrison that starts the news, and lists
// for the browser the game servers that run an Auto-Addon server: the
// fixed entries, and the polled servers while they answer, with their
// players as they are now. No address, and no /24 network, is sent more than
// its budget a minute, so that spoofed requests cannot turn it on a victim.
class CentralServer final : public SocketEndpoint {
public:
    // Polled servers go silent after this long without an answer and leave the list.
    static constexpr std::uint32_t kSilentMs = 15000;

    // log takes one line per event.
    CentralServer(CentralSettings settings, std::function<void(const std::string &)> log);
    ~CentralServer() override;

    // Binds the port and starts the polls; false, with the reason logged, when it cannot serve.
    bool open();
    // Takes new news, entries and polled servers; the address, port and rate limits stay.
    void reload(const CentralSettings &settings);
    // What a browser request gets now.
    std::vector<BrowserEntry> browserList();

protected:
    void onRead(int error) override;
    // Notes which polled servers still answer.
    void onTick() override;

private:
    struct Polled {
        std::string target;
        std::uint32_t address = 0;
        std::uint16_t port = 0;
        std::unique_ptr<StatusStore> status;
        std::unique_ptr<MonitorEndpoint> endpoint;
        std::uint32_t answers = 0;
        std::uint32_t lastAnswer = 0;
    };
    void startPolls();
    void stopPolls();

    std::function<void(const std::string &)> m_log;
    std::mutex m_lock;
    CentralSettings m_settings;
    std::vector<Polled> m_polled;

    DaemonAnswers m_answers; // the serving thread's own
};

} // namespace garrison
