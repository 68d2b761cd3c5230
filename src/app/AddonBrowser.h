#pragma once

#include "app/CentralHost.h"
#include "app/HostLookupTask.h"
#include "monitor/MonitorEndpoint.h"
#include "monitor/ServerStatus.h"

#include <memory>
#include <string>
#include <vector>

namespace garrison {

// One row of the browser: what the dialog shows.
struct BrowserRow {
    std::string name;
    std::string players;
    std::string address; // dotted, ":" and the port: what Select hands back
};

// The Auto-Addon server browser without its window: asks the central server
// for its list once the host is resolved, and takes the entries the network
// worker collected, in arrival order.
class AddonBrowser {
public:
    enum class State { Resolving, Asked, HostUnknown };

    // Forgets entries that came after an earlier browser closed.
    AddonBrowser(StatusStore &status, MonitorEndpoint &endpoint, const CentralHost &central);
    // The dialog's timer; true when entries came in.
    bool poll();
    State state() const { return m_state; }
    // The entries of the checked games, in arrival order.
    std::vector<BrowserRow> rows(bool resistance, bool flashpoint) const;

private:
    StatusStore &m_status;
    MonitorEndpoint &m_endpoint;
    std::uint16_t m_port;
    std::unique_ptr<HostLookupTask> m_lookup;
    State m_state = State::Resolving;
    std::vector<BrowserEntry> m_entries;
};

} // namespace garrison
