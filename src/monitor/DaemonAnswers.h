#pragma once

#include "common/MinuteTally.h"
#include "common/SendBudget.h"
#include "monitor/SocketEndpoint.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace garrison {

// What a daemon's answers go through on the open Internet: a byte budget for
// each source address (and its /24 network), failed sends counted and named,
// and a log that a flood cannot drown. Used on the socket's own thread only.
class DaemonAnswers {
public:
    DaemonAnswers(SocketEndpoint &socket, std::function<void(const std::string &)> log, std::uint64_t bytesPerAddress,
                  std::optional<std::uint64_t> bytesPerNetwork);

    // The datagrams as one answer, sent whole or not at all.
    void send(std::uint32_t address, std::uint16_t port, const std::vector<std::vector<std::uint8_t>> &datagrams,
              std::uint32_t now);
    // A line of detail, while the minute's allowance lasts.
    void note(const std::string &line);
    void count(const std::string &what, std::uint64_t times = 1) { m_tally.count(what, times); }
    // Logs the minute's counts once a minute.
    void tick(std::uint32_t now);

private:
    SocketEndpoint &m_socket;
    std::function<void(const std::string &)> m_log;
    SendBudget m_addressBudget;
    std::optional<SendBudget> m_networkBudget;
    MinuteTally m_tally;
};

} // namespace garrison
