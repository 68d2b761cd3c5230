#pragma once

#include "monitor/DatagramSender.h"
#include "monitor/ListChunks.h"
#include "monitor/ServerStatus.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace garrison {

// Asks the Auto-Addon server beside the monitored game server for its package
// list and collects it: announcement, numbered chunks, re-requests of lost
// ones, a cache file per list. Runs on the network worker; progress and the
// finished list go into the status store under its lock.
class AutoAddonClient {
public:
    static constexpr int kMaxReRequestsPerRound = 128;
    static constexpr std::uint32_t kReRequestRoundGapMs = 1000;

    // What it asks for: the list, or only whether a server answers (a
    // central server listing it needs no more, and must not hold hostile lists).
    enum class Fetch { WholeList, AnnouncementOnly };

    // cacheFolder ends with "/", or is empty for the working directory.
    AutoAddonClient(DatagramSender &sender, StatusStore &status, std::string cacheFolder = {},
                    Fetch fetch = Fetch::WholeList);

    // A new server: the list of the old one is dropped.
    void setTarget(std::uint32_t serverAddress);
    // Polling starts again: everything learnt about the Auto-Addon server is forgotten.
    void restart();

    // The bookkeeping of a poll: "no server" after two unanswered requests,
    // "time-out" after two re-request rounds, re-requests after silence.
    void checkProgress(std::uint32_t now);
    // The list request of a poll, while no Auto-Addon server has answered.
    void requestList(std::uint16_t gamePort);

    void onDatagram(std::span<const std::uint8_t> datagram, std::uint16_t sourcePort, std::uint32_t now);

    // The port the Auto-Addon server answered from; 0 while unknown.
    std::uint16_t port() const { return m_port; }

private:
    void onAnnouncement(std::span<const std::uint8_t> datagram, std::uint16_t sourcePort, std::uint32_t now);
    void onPasswordRefused(std::uint16_t sourcePort);
    void onChunk(std::span<const std::uint8_t> datagram, std::uint32_t now);
    bool takeListFromCache();
    void requestWholeList(std::uint32_t now);
    // The chunk count, and the list once it is whole, for the UI thread.
    void publish(std::optional<std::vector<std::uint8_t>> list);
    std::string cachePath() const;
    void send(std::uint16_t port, std::span<const std::uint8_t> bytes);

    DatagramSender &m_sender;
    StatusStore &m_status;
    std::string m_cacheFolder;
    Fetch m_fetch;

    std::uint32_t m_serverAddress = 0;
    std::uint16_t m_port = 0;
    int m_attempts = 0;
    std::uint64_t m_listId = 0;
    std::uint32_t m_lastChunkTime = 0;
    std::uint32_t m_lastReRequestRound = 0;
    ListChunks m_chunks;
};

} // namespace garrison
