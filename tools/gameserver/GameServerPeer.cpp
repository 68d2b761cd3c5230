#include "gameserver/GameServerPeer.h"

#include "monitor/QueryPackets.h"

#include <algorithm>
#include <cstring>
#include <random>
#include <zlib.h>

namespace garrison::peers {

namespace {

constexpr std::size_t kRetailInfoLength = 434;

void put32(std::vector<std::uint8_t> &out, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

void put16(std::vector<std::uint8_t> &out, std::size_t at, std::uint16_t value)
{
    out[at] = static_cast<std::uint8_t>(value);
    out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void putText(std::vector<std::uint8_t> &out, std::size_t at, const std::string &text, std::size_t field)
{
    std::memcpy(out.data() + at, text.data(), std::min(text.size(), field - 1));
}

bool matches(std::span<const std::uint8_t> datagram, std::span<const std::uint8_t> query)
{
    return std::equal(datagram.begin(), datagram.end(), query.begin(), query.end());
}

} // namespace

GameServerPeer::GameServerPeer(GameServerConfig config) : m_config(std::move(config))
{
    if (m_config.queryPort == 0)
        m_config.queryPort = static_cast<std::uint16_t>(m_config.gamePort + 1);
}

GameServerPeer::~GameServerPeer()
{
    stop();
}

bool GameServerPeer::start()
{
    m_started = std::chrono::steady_clock::now();
    const auto handler = [this](UdpPort &port, std::span<const std::uint8_t> datagram, std::uint32_t address,
                                std::uint16_t sourcePort) {
        handle(port, datagram, address, sourcePort);
    };
    m_game = std::make_unique<UdpPort>(handler);
    m_query = std::make_unique<UdpPort>(handler);
    if (!m_game->create(m_config.gamePort, m_config.address) || !m_query->create(m_config.queryPort, m_config.address))
        return false;
    m_game->start();
    m_query->start();
    return true;
}

void GameServerPeer::stop()
{
    // Both threads end before either port goes: each handler looks at both.
    if (m_game)
        m_game->stop();
    if (m_query)
        m_query->stop();
    m_game.reset();
    m_query.reset();
}

double GameServerPeer::elapsedSeconds() const
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_started).count();
}

std::uint32_t GameServerPeer::currentState() const
{
    const double now = elapsedSeconds();
    std::uint32_t state = 0;
    for (const auto &step : m_config.states) {
        if (step.atSeconds <= now)
            state = step.state;
    }
    return state;
}

std::vector<ScriptedPlayer> GameServerPeer::currentPlayers() const
{
    const double now = elapsedSeconds();
    std::vector<ScriptedPlayer> present;
    for (const auto &player : m_config.players) {
        if (player.joinSeconds <= now && (player.leaveSeconds < 0 || player.leaveSeconds > now))
            present.push_back(player);
    }
    return present;
}

std::vector<std::string> GameServerPeer::receivedQueries() const
{
    std::lock_guard guard(m_lock);
    return m_queries;
}

void GameServerPeer::record(const std::string &query)
{
    std::lock_guard guard(m_lock);
    m_queries.push_back(query);
}

std::vector<std::uint8_t> GameServerPeer::socketsAnswer(bool vbs) const
{
    std::vector<std::uint8_t> out(kRetailInfoLength, 0);
    put32(out, 24, 0xEEE191AE); // magic
    putText(out, 28, m_config.name, 256);
    put32(out, 284, m_config.version);
    put32(out, 288, m_config.requiredVersion);
    putText(out, 292, m_config.mission, 40);
    put32(out, 332, currentState());
    put32(out, 336, m_config.maxPlayers);
    put16(out, 340, m_config.password ? 1 : 0);
    put16(out, 342, m_config.gamePort);
    put32(out, 344, static_cast<std::uint32_t>(currentPlayers().size()));
    putText(out, 352, vbs ? "VBS" : m_config.mod, 80);
    put16(out, 432, static_cast<std::uint16_t>(m_config.equalModRequired));
    if (m_config.infoLength)
        out.resize(m_config.infoLength, 0);
    if (out.size() >= 2)
        put16(out, 0, static_cast<std::uint16_t>(out.size()));
    if (out.size() >= 8) {
        const auto crc = crc32(0, out.data(), static_cast<uInt>(out.size()));
        put32(out, 4, static_cast<std::uint32_t>(crc));
    }
    return out;
}

std::vector<std::uint8_t> GameServerPeer::directPlayAnswer(std::span<const std::uint8_t> query) const
{
    std::vector<std::uint8_t> out(144 + 2 * (m_config.name.size() + 1), 0);
    out[1] = 0x03; // enumeration response
    out[2] = query.size() > 2 ? query[2] : 0;
    out[3] = query.size() > 3 ? query[3] : 0;
    out[16] = m_config.password ? 0x80 : 0;
    put32(out, 24, static_cast<std::uint32_t>(currentPlayers().size() + 2));
    put32(out, 92, m_config.version);
    put32(out, 96, m_config.requiredVersion);
    putText(out, 100, m_config.mission, 40);
    put32(out, 140, currentState());
    for (std::size_t i = 0; i < m_config.name.size(); ++i)
        put16(out, 144 + 2 * i, static_cast<unsigned char>(m_config.name[i]));
    return out;
}

std::vector<std::string> GameServerPeer::statusAnswer(int queryId) const
{
    const auto players = currentPlayers();
    const auto &c = m_config;
    // Units that are never split over two datagrams: a pair, or a player's
    // four pairs, since clients read a player's fields by position.
    const auto pair = [](const std::string &key, const std::string &value) {
        return "\\" + key + "\\" + value;
    };
    std::vector<std::string> units = {
        pair("gamename", c.gameName),
        pair("gamever", "1.99"),
        pair("groupid", "261"),
        pair("hostname", c.name),
        pair("hostport", std::to_string(c.gamePort)),
        pair("mapname", c.map),
        pair("gametype", c.mission),
        pair("numplayers", std::to_string(players.size())),
        pair("maxplayers", std::to_string(c.maxPlayers)),
        pair("gamemode", "openplaying"),
        pair("timeleft", c.timeLeft),
        pair("param1", c.param1),
        pair("param2", c.param2),
        pair("actver", std::to_string(c.version)),
        pair("reqver", std::to_string(c.requiredVersion)),
        pair("mod", c.mod),
        pair("equalModRequired", std::to_string(c.equalModRequired)),
        pair("password", c.password ? "1" : "0"),
        pair("gstate", std::to_string(currentState())),
        pair("impl", c.answerDirectPlay && !c.answerSockets ? "dplay" : "sockets"),
        pair("platform", c.platform),
    };
    for (std::size_t i = 0; i < players.size(); ++i) {
        const auto n = std::to_string(i);
        units.push_back(pair("player_" + n, players[i].name) + pair("team_" + n, "") +
                        pair("score_" + n, players[i].score) + pair("deaths_" + n, players[i].deaths));
    }
    std::vector<std::string> fragments(1);
    for (const auto &unit : units) {
        if (!fragments.back().empty() && fragments.back().size() + unit.size() > c.fragmentSize)
            fragments.emplace_back();
        fragments.back() += unit;
    }
    fragments.back() += "\\final\\";
    for (std::size_t i = 0; i < fragments.size(); ++i)
        fragments[i] += "\\queryid\\" + std::to_string(queryId) + "." + std::to_string(i + 1);
    return fragments;
}

void GameServerPeer::sendStatus(UdpPort &endpoint, std::uint32_t address, std::uint16_t port)
{
    const auto fragments = statusAnswer(m_nextQueryId++);
    std::vector<std::size_t> order(fragments.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    if (m_config.order == FragmentOrder::Reverse)
        std::reverse(order.begin(), order.end());
    else if (m_config.order == FragmentOrder::Shuffle)
        std::shuffle(order.begin(), order.end(), std::mt19937(std::random_device{}()));
    for (const std::size_t i : order) {
        if (m_config.dropFragments.count(static_cast<int>(i + 1)))
            continue;
        endpoint.sendTo(address, port, fragments[i].data(), fragments[i].size());
    }
}

void GameServerPeer::handle(UdpPort &endpoint, std::span<const std::uint8_t> datagram, std::uint32_t address,
                            std::uint16_t port)
{
    const bool onGamePort = &endpoint == m_game.get();
    const std::string where = " " + std::to_string(onGamePort ? m_config.gamePort : m_config.queryPort);
    if (onGamePort && matches(datagram, kSocketsInfoQuery)) {
        record("sockets" + where);
        if (m_config.answerSockets) {
            const auto answer = socketsAnswer(false);
            endpoint.sendTo(address, port, answer.data(), answer.size());
        }
    } else if (onGamePort && matches(datagram, kVbs1InfoQuery)) {
        record("vbs" + where);
        if (m_config.answerVbs) {
            const auto answer = socketsAnswer(true);
            endpoint.sendTo(address, port, answer.data(), answer.size());
        }
    } else if (onGamePort && matches(datagram, kDirectPlayEnumQuery)) {
        record("dplay" + where);
        if (m_config.answerDirectPlay) {
            const auto answer = directPlayAnswer(datagram);
            endpoint.sendTo(address, port, answer.data(), answer.size());
        }
    } else if (!onGamePort && matches(datagram, kGameSpyStatusQuery)) {
        record("status" + where);
        if (m_config.answerStatus)
            sendStatus(endpoint, address, port);
    } else {
        record("unknown" + where);
    }
}

} // namespace garrison::peers
