#pragma once

#include "monitor/AutoAddonClient.h"
#include "monitor/CentralServerClient.h"
#include "monitor/DatagramSender.h"
#include "monitor/SocketEndpoint.h"
#include "monitor/StatusPoller.h"

namespace garrison {

// The network worker of the server monitor: one UDP socket, the status poll
// and the Auto-Addon exchange on its ticks, the central server's
// answers, and the commands of the UI thread.
class MonitorEndpoint final : public SocketEndpoint, private DatagramSender {
public:
    // The poll interval is two seconds; tests shorten it. List caches go to
    // cacheFolder ("" is the working directory).
    explicit MonitorEndpoint(StatusStore &status, std::uint32_t pollInterval = kPollIntervalMs,
                             std::string cacheFolder = {},
                             AutoAddonClient::Fetch fetch = AutoAddonClient::Fetch::WholeList);
    ~MonitorEndpoint() override;

protected:
    void onRead(int error) override;
    void onMessage(const EndpointMessage &message) override;
    void onTick() override;

private:
    void send(std::uint32_t address, std::uint16_t port, std::span<const std::uint8_t> bytes) override;

    StatusPoller m_poller;
    AutoAddonClient m_autoAddon;
    CentralServerClient m_central;
};

} // namespace garrison
