// garrison-gameserver: a game server on loopback for the demo and the tests.
#include "gameserver/GameServerFleet.h"
#include "gameserver/GameServerPeer.h"
#include "peers/PeerMain.h"

#include <CLI/CLI.hpp>

#include <iostream>
#include <vector>

using namespace garrison::peers;

namespace {

ScriptedState parseState(const std::string &text)
{
    const auto parts = splitOn(text, ':');
    if (parts.size() != 2)
        throw CLI::ValidationError("--state", "expected SECONDS:STATE, got " + text);
    return {std::stod(parts[0]), static_cast<std::uint32_t>(std::stoul(parts[1]))};
}

ScriptedPlayer parsePlayer(const std::string &text, bool timed)
{
    auto parts = splitOn(text, ':');
    double at = 0;
    if (timed) {
        if (parts.empty())
            throw CLI::ValidationError("--join", "expected SECONDS:NAME[:SCORE[:DEATHS]]");
        at = std::stod(parts.front());
        parts.erase(parts.begin());
    }
    if (parts.empty() || parts.size() > 3)
        throw CLI::ValidationError("--player", "expected NAME[:SCORE[:DEATHS]], got " + text);
    parts.resize(3);
    return {parts[0], parts[1].empty() ? "0" : parts[1], parts[2].empty() ? "0" : parts[2], at, -1};
}

} // namespace

int main(int argc, char **argv)
{
    CLI::App app{"A game server on loopback: answers the sockets, VBS1 and DirectPlay info queries on its game "
                 "port and \\status\\ on its query port."};
    GameServerConfig config;
    std::string bind = "127.0.0.1";
    std::vector<std::string> answers{"sockets", "status"};
    std::vector<std::string> states, players, joins, leaves;
    std::string order = "in-order";
    double seconds = 0;
    int count = 1;

    app.add_option("--bind", bind, "IPv4 address to listen on")->capture_default_str();
    app.add_option("--port", config.gamePort, "game port")->capture_default_str();
    app.add_option("--query-port", config.queryPort, "GameSpy query port (default: game port + 1)");
    app.add_option("--answer", answers, "queries to answer: sockets, vbs, dplay, status")
        ->delimiter(',')
        ->check(CLI::IsMember({"sockets", "vbs", "dplay", "status"}))
        ->capture_default_str();
    app.add_option("--name", config.name, "server description")->capture_default_str();
    app.add_option("--mission", config.mission, "mission name")->capture_default_str();
    app.add_option("--map", config.map, "island")->capture_default_str();
    app.add_option("--game-name", config.gameName, "gamename key (opflash, opflashr)")->capture_default_str();
    app.add_option("--mod", config.mod, "mod folders, separated by ;")->capture_default_str();
    app.add_option("--platform", config.platform, "win or linux")->capture_default_str();
    app.add_option("--time-left", config.timeLeft, "timeleft key")->capture_default_str();
    app.add_option("--param1", config.param1);
    app.add_option("--param2", config.param2);
    app.add_option("--version", config.version, "actual version")->capture_default_str();
    app.add_option("--required-version", config.requiredVersion)->capture_default_str();
    app.add_option("--max-players", config.maxPlayers)->capture_default_str();
    app.add_flag("--password", config.password, "the server is locked");
    app.add_option("--equal-mod", config.equalModRequired)->capture_default_str();
    app.add_option("--state", states, "SECONDS:STATE, game state from that time on (repeatable)");
    app.add_option("--player", players, "NAME[:SCORE[:DEATHS]] present from the start (repeatable)");
    app.add_option("--join", joins, "SECONDS:NAME[:SCORE[:DEATHS]] joins then (repeatable)");
    app.add_option("--leave", leaves, "SECONDS:NAME leaves then (repeatable)");
    app.add_option("--fragment-size", config.fragmentSize, "bytes of status text per datagram")->capture_default_str();
    app.add_option("--order", order, "fragment order")
        ->check(CLI::IsMember({"in-order", "reverse", "shuffle"}))
        ->capture_default_str();
    app.add_option("--drop", config.dropFragments, "fragment number never sent (repeatable)");
    app.add_option("--info-length", config.infoLength, "cut or pad the sockets answer to this length");
    app.add_option("--count", count,
                   "serve this many servers, game ports PORT, PORT+2, ...; server i has i % 6 more players")
        ->check(CLI::Range(1, 12000));
    app.add_option("--seconds", seconds, "stop after this long (default: until interrupted)");

    try {
        app.parse(argc, argv);
        config.address = parseBindAddress(bind);
        if (!states.empty()) {
            config.states.clear();
            for (const auto &state : states)
                config.states.push_back(parseState(state));
        }
        for (const auto &player : players)
            config.players.push_back(parsePlayer(player, false));
        for (const auto &join : joins)
            config.players.push_back(parsePlayer(join, true));
        for (const auto &leave : leaves) {
            const auto parts = splitOn(leave, ':');
            if (parts.size() != 2)
                throw CLI::ValidationError("--leave", "expected SECONDS:NAME, got " + leave);
            for (auto &player : config.players) {
                if (player.name == parts[1])
                    player.leaveSeconds = std::stod(parts[0]);
            }
        }
    } catch (const CLI::ParseError &error) {
        return app.exit(error);
    } catch (const std::exception &error) {
        std::cerr << "garrison-gameserver: " << error.what() << "\n";
        return 2;
    }
    const auto wants = [&](const char *kind) {
        return std::find(answers.begin(), answers.end(), kind) != answers.end();
    };
    config.answerSockets = wants("sockets");
    config.answerVbs = wants("vbs");
    config.answerDirectPlay = wants("dplay");
    config.answerStatus = wants("status");
    config.order = order == "reverse"   ? FragmentOrder::Reverse
                   : order == "shuffle" ? FragmentOrder::Shuffle
                                        : FragmentOrder::InOrder;

    if (count > 1) {
        // A fleet for a master's list, served by one thread.
        std::vector<GameServerConfig> fleet;
        for (int i = 0; i < count; ++i) {
            GameServerConfig &one = fleet.emplace_back(config);
            one.gamePort = static_cast<std::uint16_t>(config.gamePort + 2 * i);
            one.queryPort = static_cast<std::uint16_t>(one.gamePort + 1);
            one.name = config.name + " " + std::to_string(i);
            for (int j = 0; j < i % 6; ++j)
                one.players.push_back({"Player " + std::to_string(i) + "." + std::to_string(j), "0", "0", 0, -1});
        }
        GameServerFleet servers(std::move(fleet));
        if (!servers.start()) {
            std::cerr << "garrison-gameserver: cannot listen on " << bind << " ports " << config.gamePort << " to "
                      << config.gamePort + 2 * count - 1 << "\n";
            return 1;
        }
        std::cout << "garrison-gameserver listening on " << bind << ":" << config.gamePort << " and " << count - 1
                  << " more" << std::endl;
        serveUntilStopped(seconds);
        return 0;
    }
    GameServerPeer peer(config);
    if (!peer.start()) {
        std::cerr << "garrison-gameserver: cannot listen on " << bind << " ports " << config.gamePort << " and "
                  << (config.queryPort ? config.queryPort : config.gamePort + 1) << "\n";
        return 1;
    }
    std::cout << "garrison-gameserver listening on " << bind << ":" << config.gamePort << std::endl;
    serveUntilStopped(seconds);
    peer.stop();
    return 0;
}
