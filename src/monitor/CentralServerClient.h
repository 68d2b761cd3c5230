#pragma once

#include "monitor/DatagramSender.h"
#include "monitor/ServerStatus.h"

#include <cstdint>
#include <span>

namespace garrison {

// The news and browser-list exchanges with the central server. Runs on the
// network worker; answers go into the status store under its lock.
class CentralServerClient {
public:
    CentralServerClient(DatagramSender &sender, StatusStore &status);

    // seed: what the request's id is made from, as the game made it from the
    // tick; a random number here, so that nobody can guess it.
    void requestNews(std::uint32_t address, std::uint16_t port, std::uint32_t seed);
    void requestBrowserList(std::uint32_t address, std::uint16_t port, std::uint32_t seed);
    // True for a datagram from the central server last asked.
    bool isFrom(std::uint32_t address, std::uint16_t port) const;
    // The answer to one of the two requests, told apart by its first word.
    // Only the central server last asked is heard, and only its first news
    // answer: news can offer an upgrade, so nothing may pass for it or replace it.
    void onDatagram(std::span<const std::uint8_t> datagram, std::uint32_t address, std::uint16_t port);

private:
    DatagramSender &m_sender;
    StatusStore &m_status;
    // 0 until the request is sent, so a stray datagram cannot pass for an answer.
    std::uint16_t m_sessionId = 0;
    std::uint32_t m_address = 0;
    std::uint16_t m_port = 0;
    std::uint16_t m_listCookie = 0;
    bool m_browserRequested = false;
};

} // namespace garrison
