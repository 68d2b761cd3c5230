#include "aaserver/AddonServer.h"

#include "aaserver/ServerRequest.h"
#include "monitor/QueryPackets.h"
#include "platform/HostLookup.h"
#include "platform/Tick.h"
#include "servers/ServerAddress.h"

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
    : m_config(std::move(config)), m_log(std::move(log)),
      m_answers(*this, m_log, std::uint64_t{m_config.rateLimitKib} * 1024, std::nullopt)
{
}

AddonServer::~AddonServer()
{
    stop();
    m_builder.reset();
    if (m_game)
        m_game->stop();
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
                m_game->post(SetTarget{*address, port});
                m_game->post(StartPolling{});
            }
        } else {
            m_log("the game server " + game.host + " cannot be resolved: clients get no game time");
        }
    }
    m_watch = std::make_unique<FolderWatch>(m_config.catalogue.zipsFolder);
    if (!m_watch->watching())
        m_log("the zips folder " + m_config.catalogue.zipsFolder +
              " is not there or cannot be watched: looking for it every second");
    m_builder = std::make_unique<ListBuilder>(m_config.catalogue,
                                              [this](Catalogue &&catalogue) { take(std::move(catalogue)); });
    m_builder->request();
    return true;
}

std::uint64_t AddonServer::listId() const
{
    std::lock_guard guard(m_listLock);
    return m_list ? m_list->id() : 0;
}

void AddonServer::rescan()
{
    if (m_builder)
        m_builder->request();
}

void AddonServer::take(Catalogue &&catalogue)
{
    // A folder swapped out or unreadable for a moment: clients keep the list they know.
    if (!catalogue.folderRead) {
        m_log("the zips folder " + m_config.catalogue.zipsFolder +
              " cannot be read: still serving the last list, trying again when it is back");
        return;
    }
    std::set<std::string> problems(catalogue.problems.begin(), catalogue.problems.end());
    for (const auto &problem : catalogue.problems) {
        if (!m_problems.count(problem))
            m_log("left out " + problem);
    }
    m_problems = std::move(problems);
    auto list = std::make_unique<ServedList>(writeOfferedBlock(catalogue.content));
    std::lock_guard guard(m_listLock);
    if (m_list && m_list->id() == list->id())
        return;
    m_log("serving " + std::to_string(catalogue.zips.size()) + " packages as list " + hexId(list->id()) + " (" +
          std::to_string(list->chunkCount()) + " chunks)");
    m_list = std::move(list);
}

void AddonServer::onRead(int)
{
    std::array<std::uint8_t, kMaxDatagramBytes> buffer;
    const auto received = receiveInto(buffer);
    if (!received)
        return;
    const auto [datagram, address, port] = *received;
    const std::uint32_t now = tickCount();
    const ServerRequest request = parseServerRequest(datagram);
    const std::string client = clientText(address, port);
    std::lock_guard guard(m_listLock);
    switch (request.kind) {
    case ServerRequest::Kind::List:
        if (request.password != m_config.password) {
            m_answers.count("wrong passwords");
            m_answers.note(client + " list request: wrong password");
            m_answers.send(address, port, {passwordRefusal()}, now);
        } else if (!m_list) {
            m_answers.count("list requests before the first list was made");
        } else {
            m_sessions.admit(address, port, now);
            m_answers.note(client + " list request");
            m_answers.send(address, port, {listAnnouncement(m_list->chunkCount(), m_list->id(), elapsedAndState())},
                           now);
        }
        return;
    case ServerRequest::Kind::SendList:
        // Only to who proved the password: anyone else may be a spoofer's victim.
        if (!m_list || !m_sessions.admitted(address, port, now)) {
            m_answers.count("send-list requests without a list request");
            return;
        }
        m_answers.note(client + " send-list: " + std::to_string(m_list->chunkCount()) + " chunks");
        {
            std::vector<std::vector<std::uint8_t>> chunks;
            for (std::size_t number = 0; number < m_list->chunkCount(); ++number)
                chunks.push_back(m_list->chunk(number));
            m_answers.send(address, port, chunks, now);
        }
        return;
    case ServerRequest::Kind::ReRequest:
        if (!m_list || !m_sessions.admitted(address, port, now)) {
            m_answers.count("re-requests without a list request");
            return;
        }
        m_answers.note(client + " re-request of chunk " + std::to_string(request.chunk));
        if (request.chunk < m_list->chunkCount())
            m_answers.send(address, port, {m_list->chunk(request.chunk)}, now);
        return;
    case ServerRequest::Kind::Unknown:
        m_answers.count("unknown datagrams");
        return;
    }
}

void AddonServer::onTick()
{
    const std::uint32_t now = tickCount();
    if (m_watch) {
        const bool watching = m_watch->watching();
        if (m_watch->changed(now)) {
            m_changed = true;
            m_changedAt = now;
        }
        if (watching != m_watch->watching())
            m_log(m_watch->watching() ? "watching the zips folder " + m_config.catalogue.zipsFolder + " again"
                                      : "the zips folder " + m_config.catalogue.zipsFolder +
                                            " was moved or deleted: looking for it every second");
    }
    if (m_changed && now - m_changedAt >= kQuietMs) {
        m_changed = false;
        rescan();
    }
    m_answers.tick(now);
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
