#include "app/AddonBrowser.h"

#include "platform/HostLookup.h"

namespace garrison {

AddonBrowser::AddonBrowser(StatusStore &status, MonitorEndpoint &endpoint, const CentralHost &central)
    : m_status(status), m_endpoint(endpoint), m_port(central.port),
      m_lookup(std::make_unique<HostLookupTask>(central.host))
{
    std::lock_guard guard(m_status.lock);
    m_status.browserList.clear();
}

bool AddonBrowser::poll()
{
    if (m_lookup && m_lookup->ended()) {
        const auto address = m_lookup->address();
        m_lookup.reset();
        m_state = address ? State::Asked : State::HostUnknown;
        if (address)
            m_endpoint.post(BrowserRequest{*address, m_port});
    }
    std::vector<BrowserEntry> arrived;
    {
        std::lock_guard guard(m_status.lock);
        arrived.swap(m_status.browserList);
    }
    m_entries.insert(m_entries.end(), arrived.begin(), arrived.end());
    return !arrived.empty();
}

std::vector<BrowserRow> AddonBrowser::rows(bool resistance, bool flashpoint) const
{
    std::vector<BrowserRow> rows;
    for (const BrowserEntry &entry : m_entries) {
        if (!((entry.flags & 1) ? resistance : flashpoint))
            continue;
        rows.push_back({entry.name, std::to_string(entry.players),
                        dottedAddress(entry.address) + ":" + std::to_string(entry.port)});
    }
    return rows;
}

} // namespace garrison
