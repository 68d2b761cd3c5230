#include "cli/MasterCommand.h"

#include "app/CentralHost.h"
#include "cli/JsonText.h"
#include "cli/SecondsOption.h"
#include "common/DisplayText.h"
#include "common/GameCodePage.h"
#include "lang/LanguageLoader.h"
#include "monitor/GameStates.h"
#include "monitor/MasterClient.h"
#include "monitor/ServerSurvey.h"
#include "servers/LinuxSettings.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <iostream>

namespace garrison::cli {

namespace {

struct MasterOptions {
    std::string master;
    std::string game = "opflashr";
    bool noQuery = false;
    bool json = false;
    double seconds = 10;
    unsigned rate = 2000;
};

nlohmann::ordered_json rowJson(const SurveyedServer &row, bool queried, const LanguageTable &language)
{
    nlohmann::ordered_json json = {
        {"address", listedServerText(row.listed.address, row.listed.gamePort())},
        {"query_port", row.listed.queryPort},
    };
    if (!queried)
        return json;
    json["answered"] = row.answered;
    if (!row.answered)
        return json;
    json["name"] = gameTextToUtf8(row.name);
    json["game"] = row.gameName;
    json["players"] = row.players;
    json["max_players"] = row.maxPlayers;
    json["map"] = gameTextToUtf8(row.map);
    json["mission"] = gameTextToUtf8(row.mission);
    json["state"] = row.state;
    json["state_text"] = displayText(gameStateText(row.state, language));
    json["ping"] = row.ping;
    json["version"] = row.version;
    json["mods"] = gameTextToUtf8(row.mods);
    json["password"] = row.password;
    json["player_names"] = nlohmann::ordered_json::array();
    for (const auto &name : row.playerNames)
        json["player_names"].push_back(gameTextToUtf8(name));
    return json;
}

void printRow(const nlohmann::ordered_json &row)
{
    std::cout << row["address"].get<std::string>();
    if (!row.contains("answered")) {
        std::cout << "\n";
        return;
    }
    if (!row["answered"].get<bool>()) {
        std::cout << "  no answer\n";
        return;
    }
    std::cout << "  " << row["players"] << "/" << row["max_players"] << "  " << row["name"].get<std::string>()
              << "  map " << row["map"].get<std::string>() << "  " << row["state_text"].get<std::string>() << "  "
              << row["ping"] << " ms  version " << row["version"].get<std::string>()
              << (row["password"].get<bool>() ? "  password" : "") << "\n";
}

int runMaster(const MasterOptions &options)
{
    const auto master = parseHostAndPort(options.master, MasterRequest::kDefaultPort);
    if (!master) {
        std::cerr << "garrison-cli: \"" << options.master << "\" is no HOST[:PORT]\n";
        return 2;
    }
    MasterRequest request;
    request.host = master->host;
    request.port = master->port;
    request.game = options.game;
    request.gameKey = LinuxSettings::load().masterKey;
    request.timeout = std::chrono::milliseconds(static_cast<long long>(options.seconds * 1000));
    const MasterReply reply = fetchMasterList(request);
    if (reply.failure) {
        std::cerr << "garrison-cli: " << reply.failure.why() << "\n";
        return 1;
    }
    std::vector<SurveyedServer> rows;
    if (options.noQuery) {
        for (const auto &listed : reply.servers) {
            rows.emplace_back();
            rows.back().listed = listed;
        }
    } else {
        SurveyLimits limits;
        limits.packetsPerSecond = options.rate;
        rows = surveyServers(reply.servers, limits);
    }
    // The fullest first; those that never answered last.
    std::stable_sort(rows.begin(), rows.end(), [](const SurveyedServer &a, const SurveyedServer &b) {
        if (a.answered != b.answered)
            return a.answered;
        return a.players > b.players;
    });
    const LanguageTable language = loadLanguageTable();
    nlohmann::ordered_json json = nlohmann::ordered_json::array();
    for (const auto &row : rows)
        json.push_back(rowJson(row, !options.noQuery, language));
    if (options.json) {
        std::cout << jsonText(json) << "\n";
        return 0;
    }
    for (const auto &row : json)
        printRow(row);
    return 0;
}

} // namespace

void addMasterCommand(CLI::App &app, int &exitCode)
{
    auto options = std::make_shared<MasterOptions>();
    auto *command = app.add_subcommand(
        "master", "List the servers a GameSpy master knows for the game and ask each of them what it is");
    command->add_option("master", options->master, "HOST[:PORT] of the master (port 28900 when left out)")->required();
    command->add_option("--game", options->game, "the game's name at the master")
        ->check(CLI::IsMember({"opflash", "opflashr"}))
        ->capture_default_str();
    command->add_flag("--no-query", options->noQuery, "only the addresses, without asking the servers");
    command->add_flag("--json", options->json, "print JSON");
    command->add_option("--seconds", options->seconds, "how long to wait for the master")
        ->check(waitSeconds())
        ->capture_default_str();
    command->add_option("--rate", options->rate, "packets a second to the servers, at most")
        ->check(CLI::Range(10u, 100000u))
        ->capture_default_str();
    command->callback([options, &exitCode] { exitCode = runMaster(*options); });
}

} // namespace garrison::cli
