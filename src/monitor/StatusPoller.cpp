#include "monitor/StatusPoller.h"

#include "monitor/GameSpyAnswer.h"
#include "monitor/InfoAnswer.h"
#include "monitor/QueryPackets.h"

#include <string_view>

namespace garrison {

StatusPoller::StatusPoller(DatagramSender &sender, StatusStore &status, std::uint32_t pollInterval)
    : m_sender(sender), m_status(status), m_pollInterval(pollInterval)
{
}

void StatusPoller::setTarget(std::uint32_t address, std::uint16_t gamePort)
{
    m_serverAddress = address;
    m_gamePort = gamePort;
    m_statusPort = 0;
}

void StatusPoller::startPolling(std::uint32_t now)
{
    m_polling = true;
    m_pollCount = 0;
    m_implementation = Implementation::Unknown;
    // As if the last poll were long past, whatever the clock reads.
    m_lastPollTime = now - m_pollInterval;
}

bool StatusPoller::pollDue(std::uint32_t now) const
{
    return m_polling && now - m_lastPollTime >= m_pollInterval;
}

void StatusPoller::send(std::uint16_t port, std::span<const std::uint8_t> bytes)
{
    m_sender.send(m_serverAddress, port, bytes);
}

void StatusPoller::sendPoll(std::uint32_t now)
{
    if (m_implementation == Implementation::Unknown) {
        if (m_gamePort == 0) {
            send(kDefaultGamePort, kSocketsInfoQuery);
            send(kSecondGamePort, kSocketsInfoQuery);
            send(kDefaultGamePort, kVbs1InfoQuery);
            send(kDefaultGamePort, kDirectPlayEnumQuery);
            send(kSecondGamePort, kDirectPlayEnumQuery);
            for (const std::uint16_t port : {2303, 2304, 2235, 2236})
                send(port, kGameSpyStatusQuery);
        } else {
            send(m_gamePort, kSocketsInfoQuery);
            send(m_gamePort, kDirectPlayEnumQuery);
            send(m_gamePort, kVbs1InfoQuery);
            send(static_cast<std::uint16_t>(m_gamePort + 1), kGameSpyStatusQuery);
            send(static_cast<std::uint16_t>(m_gamePort + 2), kGameSpyStatusQuery);
        }
    } else {
        switch (m_implementation) {
        case Implementation::DirectPlay:
            send(m_gamePort, kDirectPlayEnumQuery);
            break;
        case Implementation::Vbs1:
            send(m_gamePort, kVbs1InfoQuery);
            break;
        default:
            send(m_gamePort, kSocketsInfoQuery);
            break;
        }
        if (m_pollCount % 4 == 0 && m_implementation != Implementation::Vbs1) {
            if (m_statusPort != 0) {
                send(m_statusPort, kGameSpyStatusQuery);
            } else {
                send(static_cast<std::uint16_t>(m_gamePort + 1), kGameSpyStatusQuery);
                send(static_cast<std::uint16_t>(m_gamePort + 2), kGameSpyStatusQuery);
            }
        }
    }
    m_lastPollTime = now;
    m_pingMark = now;
    ++m_pollCount;
}

void StatusPoller::onSocketsInfo(std::span<const std::uint8_t> datagram, std::uint16_t sourcePort, std::uint32_t now)
{
    applyInfoAnswer(parseSocketsInfoAnswer(datagram), false, sourcePort, now);
}

void StatusPoller::onDirectPlayInfo(std::span<const std::uint8_t> datagram, std::uint16_t sourcePort, std::uint32_t now)
{
    applyInfoAnswer(parseDirectPlayInfoAnswer(datagram), true, sourcePort, now);
}

void StatusPoller::applyInfoAnswer(const InfoAnswer &answer, bool directPlay, std::uint16_t sourcePort,
                                   std::uint32_t now)
{
    std::lock_guard guard(m_status.lock);
    ServerStatus &record = m_status.record;
    if (directPlay) {
        m_implementation = Implementation::DirectPlay;
        record.implementation = Implementation::DirectPlay;
    }
    if (m_gamePort == 0)
        m_gamePort = sourcePort;
    record.description = answer.description;
    record.mission = answer.mission;
    record.version = answer.version;
    record.requiredVersion = answer.requiredVersion;
    record.gameState = answer.gameState;
    record.passwordRequired = answer.passwordRequired;
    if (answer.players)
        record.players = *answer.players;
    // A VBS1 server stays one even when a sockets-layout answer says otherwise.
    if (!directPlay && answer.implementation && record.implementation != Implementation::Vbs1) {
        record.implementation = *answer.implementation;
        m_implementation = *answer.implementation;
    }
    // Unsigned difference: right across the tick's wrap.
    if (m_pingMark) {
        record.ping = now - *m_pingMark;
        m_pingMark.reset();
    }
    record.port = m_gamePort;
    ++record.infoAnswers;
}

void StatusPoller::onGameSpyFragment(std::span<const std::uint8_t> datagram, std::uint16_t sourcePort)
{
    const auto answer =
        m_fragments.add(std::string_view(reinterpret_cast<const char *>(datagram.data()), datagram.size()));
    if (!answer)
        return;
    std::lock_guard guard(m_status.lock);
    if (m_statusPort == 0)
        m_statusPort = sourcePort;
    applyGameSpyAnswer(*answer, m_status.record);
    ++m_status.record.statusAnswers;
}

} // namespace garrison
