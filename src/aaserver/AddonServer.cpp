#include "aaserver/AddonServer.h"

#include "aaserver/ServerRequest.h"
#include "monitor/QueryPackets.h"
#include "platform/HostLookup.h"
#include "platform/Tick.h"
#include "servers/ServerAddress.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <array>

namespace garrison {

namespace {

// Copying a zip in takes a while: the list is rebuilt once the folder has been quiet this long.
constexpr std::uint32_t kQuietMs = 500;

std::string clientText(std::uint32_t address, std::uint16_t port)
{
    return dottedAddress(address) + ":" + std::to_string(port);
}

std::string hexId(std::uint64_t id)
{
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(id));
    return text;
}

} // namespace

AddonServer::AddonServer(AaServerConfig config, std::function<void(const std::string &)> log)
    : m_config(std::move(config)), m_log(std::move(log))
{
}

AddonServer::~AddonServer()
{
    stop();
    if (m_game)
        m_game->stop();
    if (m_watch >= 0)
        close(m_watch);
}

bool AddonServer::open()
{
    const ServerAddress game = splitServerAddress(m_config.game);
    const auto gamePort = parsePortText(game.portText);
    if (!gamePort) {
        m_log("the game server's port is no port: " + m_config.game);
        return false;
    }
    const std::uint16_t port = *gamePort == 0 ? kDefaultGamePort : *gamePort;
    if (m_config.port == 0)
        m_config.port = static_cast<std::uint16_t>(port + 20);
    const auto bindAddress = resolveIpv4(m_config.bind);
    if (!bindAddress || !create(m_config.port, *bindAddress)) {
        m_log("cannot listen on " + m_config.bind + ":" + std::to_string(m_config.port));
        return false;
    }
    if (!game.host.empty()) {
        if (const auto address = resolveIpv4(game.host)) {
            m_game = std::make_unique<MonitorEndpoint>(m_gameStatus);
            if (m_game->create() && m_game->start()) {
                m_game->postCommand(MonitorEndpoint::kSetTarget, *address, port);
                m_game->postCommand(MonitorEndpoint::kStartPolling);
            }
        } else {
            m_log("the game server " + game.host + " cannot be resolved: clients get no game time");
        }
    }
    m_watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_watch >= 0 &&
        inotify_add_watch(m_watch, m_config.catalogue.zipsFolder.c_str(),
                          IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE | IN_CREATE | IN_ATTRIB) < 0)
        m_log("the zips folder is not watched: changes show after a restart");
    rebuild();
    return true;
}

std::uint64_t AddonServer::listId() const
{
    std::lock_guard guard(m_listLock);
    return m_list ? m_list->id() : 0;
}

void AddonServer::rebuild()
{
    const Catalogue catalogue = buildCatalogue(m_config.catalogue);
    for (const auto &problem : catalogue.problems)
        m_log("left out " + problem);
    const auto block = writeOfferedBlock(catalogue.content);
    auto list = std::make_unique<ServedList>(block);
    std::lock_guard guard(m_listLock);
    if (m_list && m_list->id() == list->id())
        return;
    m_log("serving " + std::to_string(catalogue.zips.size()) + " packages as list " + hexId(list->id()) + " (" +
          std::to_string(list->chunkCount()) + " chunks)");
    m_list = std::move(list);
}

void AddonServer::send(std::uint32_t address, std::uint16_t port, const std::vector<std::uint8_t> &datagram)
{
    sendTo(address, port, datagram.data(), datagram.size());
}

void AddonServer::onRead(int)
{
    std::array<std::uint8_t, kMaxDatagramBytes> buffer;
    const auto received = receiveInto(buffer);
    if (!received)
        return;
    const auto [datagram, address, port] = *received;
    const ServerRequest request = parseServerRequest(datagram);
    const std::string client = clientText(address, port);
    std::lock_guard guard(m_listLock);
    if (!m_list)
        return;
    switch (request.kind) {
    case ServerRequest::Kind::List:
        if (request.password != m_config.password) {
            m_log(client + " list request: wrong password");
            send(address, port, passwordRefusal());
            return;
        }
        m_log(client + " list request");
        send(address, port, listAnnouncement(m_list->chunkCount(), m_list->id(), elapsedAndState()));
        return;
    case ServerRequest::Kind::SendList:
        m_log(client + " send-list: " + std::to_string(m_list->chunkCount()) + " chunks");
        for (std::size_t number = 0; number < m_list->chunkCount(); ++number)
            send(address, port, m_list->chunk(number));
        return;
    case ServerRequest::Kind::ReRequest:
        m_log(client + " re-request of chunk " + std::to_string(request.chunk));
        if (request.chunk < m_list->chunkCount())
            send(address, port, m_list->chunk(request.chunk));
        return;
    case ServerRequest::Kind::Unknown:
        m_log(client + " unknown datagram of " + std::to_string(datagram.size()) + " bytes");
        return;
    }
}

void AddonServer::onTick()
{
    const std::uint32_t now = tickCount();
    if (m_watch >= 0) {
        alignas(inotify_event) char events[4096];
        while (read(m_watch, events, sizeof events) > 0) {
            m_changed = true;
            m_changedAt = now;
        }
    }
    if (m_changed && now - m_changedAt >= kQuietMs) {
        m_changed = false;
        rebuild();
    }
    trackGameState();
}

void AddonServer::trackGameState()
{
    std::lock_guard guard(m_gameStatus.lock);
    if (m_gameStatus.record.infoAnswers == 0)
        return;
    const std::uint32_t state = m_gameStatus.record.gameState;
    if (!m_gameState || *m_gameState != state) {
        m_gameState = state;
        m_stateSince = tickCount();
    }
}

std::optional<std::pair<std::uint32_t, std::uint16_t>> AddonServer::elapsedAndState() const
{
    if (!m_gameState)
        return std::nullopt;
    return std::pair(tickCount() - m_stateSince, static_cast<std::uint16_t>(*m_gameState));
}

} // namespace garrison
