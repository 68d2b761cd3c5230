#pragma once

#include "monitor/DatagramSender.h"
#include "monitor/GameSpyFragments.h"
#include "monitor/InfoAnswer.h"
#include "monitor/QueryPackets.h"
#include "monitor/ServerStatus.h"

#include <cstdint>
#include <optional>
#include <span>

namespace garrison {

// Polls one game server: sends the info probes and the status query every
// two seconds and writes what comes back into the record. Runs on the
// network worker; only the record is shared, under its lock.
class StatusPoller {
public:
    StatusPoller(DatagramSender &sender, StatusStore &status, std::uint32_t pollInterval = kPollIntervalMs);

    void setTarget(std::uint32_t address, std::uint16_t gamePort);
    // Polling on, everything learnt about the server forgotten; the first poll
    // is due at once.
    void startPolling(std::uint32_t now);
    void stopPolling() { m_polling = false; }

    // True while polling and two seconds have passed since the last poll.
    bool pollDue(std::uint32_t now) const;
    void sendPoll(std::uint32_t now);

    void onSocketsInfo(std::span<const std::uint8_t> datagram, std::uint16_t sourcePort, std::uint32_t now);
    void onDirectPlayInfo(std::span<const std::uint8_t> datagram, std::uint16_t sourcePort, std::uint32_t now);
    void onGameSpyFragment(std::span<const std::uint8_t> datagram, std::uint16_t sourcePort);

    std::uint32_t serverAddress() const { return m_serverAddress; }
    std::uint16_t gamePort() const { return m_gamePort; }
    std::uint16_t statusPort() const { return m_statusPort; }
    Implementation implementation() const { return m_implementation; }
    bool polling() const { return m_polling; }

private:
    void applyInfoAnswer(const InfoAnswer &answer, bool directPlay, std::uint16_t sourcePort, std::uint32_t now);
    void send(std::uint16_t port, std::span<const std::uint8_t> bytes);

    DatagramSender &m_sender;
    StatusStore &m_status;

    std::uint32_t m_pollInterval;
    bool m_polling = false;
    std::uint32_t m_lastPollTime = 0;
    std::optional<std::uint32_t> m_pingMark; // when the last poll went out, until its first answer
    std::uint16_t m_gamePort = 0;
    std::uint16_t m_statusPort = 0;
    std::uint32_t m_serverAddress = 0;
    int m_pollCount = 0;
    Implementation m_implementation = Implementation::Unknown;
    GameSpyFragments m_fragments;
};

} // namespace garrison
