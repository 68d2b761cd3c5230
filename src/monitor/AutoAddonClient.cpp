#include "monitor/AutoAddonClient.h"

#include "common/ByteReader.h"
#include "common/LittleEndian.h"
#include "monitor/AutoAddonPackets.h"
#include "monitor/ListCache.h"
#include "platform/FileSystem.h"

namespace garrison {

namespace {

std::vector<std::uint8_t> request(std::uint16_t code)
{
    std::vector<std::uint8_t> bytes;
    appendLittleEndian(bytes, kProtocolVersion);
    appendLittleEndian(bytes, code);
    return bytes;
}

} // namespace

AutoAddonClient::AutoAddonClient(DatagramSender &sender, StatusStore &status, std::string cacheFolder, Fetch fetch)
    : m_sender(sender), m_status(status), m_cacheFolder(std::move(cacheFolder)), m_fetch(fetch)
{
}

void AutoAddonClient::setTarget(std::uint32_t serverAddress)
{
    m_serverAddress = serverAddress;
    std::lock_guard guard(m_status.lock);
    m_status.offeredList.reset();
}

void AutoAddonClient::restart()
{
    m_port = 0;
    m_attempts = 0;
    m_chunks.reset(0);
}

void AutoAddonClient::send(std::uint16_t port, std::span<const std::uint8_t> bytes)
{
    m_sender.send(m_serverAddress, port, bytes);
}

void AutoAddonClient::checkProgress(std::uint32_t now)
{
    {
        std::lock_guard guard(m_status.lock);
        ServerStatus &record = m_status.record;
        if (m_port == 0) {
            if (m_attempts == kMaxListAttempts)
                record.addonServerState = AddonServerState::Absent;
            return;
        }
        if (m_attempts == kMaxListAttempts) {
            record.addonServerState = AddonServerState::TimedOut;
            return;
        }
        if (record.addonServerState != AddonServerState::Transferring || m_chunks.complete() ||
            now - m_lastChunkTime <= kReRequestSilenceMs || now - m_lastReRequestRound < kReRequestRoundGapMs)
            return;
    }
    // Sent without the lock, and a round at most kMaxReRequestsPerRound: a
    // spoofed announcement of 65,535 chunks must not turn us into a flood.
    int sent = 0;
    for (std::size_t number = 0; number < m_chunks.expected() && sent < kMaxReRequestsPerRound; ++number) {
        if (m_chunks.has(number))
            continue;
        auto reRequest = request(kChunkReRequest);
        appendLittleEndian(reRequest, static_cast<std::uint16_t>(number));
        send(m_port, reRequest);
        ++sent;
    }
    m_lastChunkTime = now;
    m_lastReRequestRound = now;
    ++m_attempts;
}

void AutoAddonClient::requestList(std::uint16_t gamePort)
{
    std::vector<std::uint8_t> listRequest = request(kListRequest);
    {
        std::lock_guard guard(m_status.lock);
        if (!m_status.addonDatabaseReady || m_port != 0 || m_attempts >= kMaxListAttempts)
            return;
        listRequest.insert(listRequest.end(), m_status.password.begin(), m_status.password.end());
    }
    listRequest.push_back(0);
    if (gamePort != 0) {
        for (const std::uint16_t offset : kAddonPortOffsets)
            send(static_cast<std::uint16_t>(gamePort + offset), listRequest);
    } else {
        for (const std::uint16_t port : kDefaultAddonPorts)
            send(port, listRequest);
    }
    ++m_attempts;
}

void AutoAddonClient::onDatagram(std::span<const std::uint8_t> datagram, std::uint16_t sourcePort, std::uint32_t now)
{
    const std::uint16_t first = ByteReader(datagram).at<std::uint16_t>(0);
    if (first == kListAnnouncement &&
        (datagram.size() == kShortAnnouncementLength || datagram.size() == kLongAnnouncementLength))
        onAnnouncement(datagram, sourcePort, now);
    else if (first == kPasswordRefused && datagram.size() == kPasswordRefusedLength)
        onPasswordRefused(sourcePort);
    else if (m_port != 0 && sourcePort == m_port && first < m_chunks.expected())
        onChunk(datagram, now);
}

void AutoAddonClient::onAnnouncement(std::span<const std::uint8_t> datagram, std::uint16_t sourcePort,
                                     std::uint32_t now)
{
    // The second request port answering too.
    if (m_port != 0)
        return;
    const ByteReader reader(datagram);
    const std::uint16_t count = reader.at<std::uint16_t>(2);
    m_port = sourcePort;
    m_attempts = 0;
    m_listId = reader.at<std::uint64_t>(4);
    m_chunks.reset(count);
    {
        std::lock_guard guard(m_status.lock);
        ServerStatus &record = m_status.record;
        record.addonServerState = AddonServerState::Transferring;
        record.expectedChunks = count;
        record.receivedChunks = 0;
        if (datagram.size() == kLongAnnouncementLength) {
            record.elapsedBase = reader.at<std::uint32_t>(12);
            record.elapsedState = reader.at<std::uint16_t>(16);
            record.elapsedStart = now;
            record.elapsedKnown = true;
        }
    }
    if (m_fetch == Fetch::AnnouncementOnly) {
        // Nothing more is wanted: no chunk is stored, none re-requested.
        m_chunks.reset(0);
        return;
    }
    if (!takeListFromCache())
        requestWholeList(now);
}

bool AutoAddonClient::takeListFromCache()
{
    const std::string path = cachePath();
    if (!pathExists(path))
        return false;
    // A cache that is damaged or does not unpack is thrown away and the list
    // fetched again, never trusted.
    std::optional<std::vector<std::uint8_t>> list;
    if (readListCache(path, m_chunks, {m_serverAddress, m_port}))
        list = m_chunks.assemble();
    if (!list) {
        deleteFile(path);
        m_chunks.reset(m_chunks.expected());
        return false;
    }
    publish(std::move(list));
    return true;
}

void AutoAddonClient::requestWholeList(std::uint32_t now)
{
    send(m_port, request(kSendListRequest));
    m_lastChunkTime = now;
}

void AutoAddonClient::onPasswordRefused(std::uint16_t sourcePort)
{
    m_port = sourcePort;
    m_attempts = 0;
    std::lock_guard guard(m_status.lock);
    m_status.record.addonServerState = AddonServerState::PasswordRefused;
}

void AutoAddonClient::onChunk(std::span<const std::uint8_t> datagram, std::uint32_t now)
{
    m_lastChunkTime = now;
    if (!m_chunks.store(datagram))
        return;
    std::optional<std::vector<std::uint8_t>> list;
    if (m_chunks.complete()) {
        writeListCache(cachePath(), m_chunks, {m_serverAddress, m_port});
        list = m_chunks.assemble();
    }
    publish(std::move(list));
}

void AutoAddonClient::publish(std::optional<std::vector<std::uint8_t>> list)
{
    // Together, so a reader that sees every chunk in also sees the list.
    std::lock_guard guard(m_status.lock);
    m_status.record.receivedChunks = static_cast<int>(m_chunks.received());
    if (list)
        m_status.offeredList = std::move(list);
}

std::string AutoAddonClient::cachePath() const
{
    return m_cacheFolder + listCacheFileName(m_listId);
}

} // namespace garrison
