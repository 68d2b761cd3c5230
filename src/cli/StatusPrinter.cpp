#include "cli/StatusPrinter.h"

#include "common/DisplayText.h"
#include "common/GameCodePage.h"
#include "monitor/AddonServerText.h"
#include "monitor/GameStates.h"

#include <iomanip>

namespace garrison::cli {

namespace {

std::string implementationText(Implementation implementation)
{
    switch (implementation) {
    case Implementation::DirectPlay:
        return "DirectPlay";
    case Implementation::Sockets:
        return "Sockets";
    case Implementation::Vbs1:
        return "VBS1";
    default:
        return "unknown";
    }
}

std::string utf8(const std::string &text)
{
    return gameTextToUtf8(text);
}

} // namespace

nlohmann::ordered_json statusJson(const ServerStatus &s, const LanguageTable &language,
                                  std::optional<std::size_t> listBytes)
{
    nlohmann::ordered_json players = nlohmann::ordered_json::array();
    for (const auto &player : s.playerList)
        players.push_back(
            {{"name", utf8(player.name)}, {"score", utf8(player.score)}, {"deaths", utf8(player.deaths)}});
    return {
        {"description", utf8(s.description)},
        {"mission", utf8(s.mission)},
        {"players", s.players},
        {"version", s.version},
        {"required_version", s.requiredVersion},
        {"game_state", s.gameState},
        {"game_state_text", displayText(gameStateText(s.gameState, language))},
        {"port", s.port},
        {"mod", utf8(s.mod)},
        {"equal_mod_required", s.equalModRequired},
        {"ping", s.ping},
        {"password_required", s.passwordRequired},
        {"implementation", implementationText(s.implementation)},
        {"game_name", utf8(s.gameName)},
        {"map", utf8(s.map)},
        {"max_players", utf8(s.maxPlayers)},
        {"time_left", utf8(s.timeLeft)},
        {"param1", utf8(s.param1)},
        {"param2", utf8(s.param2)},
        {"platform", utf8(s.platform)},
        {"player_list", players},
        {"addon_server",
         {{"state", static_cast<int>(s.addonServerState)},
          {"state_text", displayText(addonServerText(s, true, language))},
          {"expected_chunks", s.expectedChunks},
          {"received_chunks", s.receivedChunks},
          {"list_bytes", listBytes ? nlohmann::ordered_json(*listBytes) : nlohmann::ordered_json()}}},
    };
}

void printStatus(std::ostream &out, const ServerStatus &s, const LanguageTable &language,
                 std::optional<std::size_t> listBytes)
{
    const auto line = [&](const char *label, const std::string &value) {
        out << std::left << std::setw(18) << label << value << "\n";
    };
    line("Description", utf8(s.description));
    line("Mission", utf8(s.mission));
    line("Map", utf8(s.map));
    line("Game", utf8(s.gameName));
    line("Game state", std::to_string(s.gameState) + " (" + displayText(gameStateText(s.gameState, language)) + ")");
    line("Time left", utf8(s.timeLeft));
    line("Players", std::to_string(s.players) + (s.maxPlayers.empty() ? "" : "/" + utf8(s.maxPlayers)));
    line("Version", std::to_string(s.version) + " (required " + std::to_string(s.requiredVersion) + ")");
    line("Implementation", implementationText(s.implementation));
    line("Port", std::to_string(s.port));
    line("Ping", std::to_string(s.ping) + " ms");
    line("Password", s.passwordRequired ? "required" : "none");
    line("Platform", utf8(s.platform));
    line("Mods", utf8(s.mod));
    line("Equal mods", s.equalModRequired ? "required" : "not required");
    if (!s.param1.empty())
        line("Params", utf8(s.param1) + ", " + utf8(s.param2));
    line("Auto-Addon", displayText(addonServerText(s, true, language)) + " (" + std::to_string(s.receivedChunks) +
                           " of " + std::to_string(s.expectedChunks) + " chunks" +
                           (listBytes ? ", list of " + std::to_string(*listBytes) + " bytes" : std::string()) + ")");
    if (s.playerList.empty())
        return;
    out << "\n"
        << std::left << std::setw(24) << "Player" << std::right << std::setw(7) << "Score" << std::setw(8) << "Deaths"
        << "\n";
    for (const auto &player : s.playerList) {
        out << std::left << std::setw(24) << utf8(player.name) << std::right << std::setw(7) << utf8(player.score)
            << std::setw(8) << utf8(player.deaths) << "\n";
    }
}

} // namespace garrison::cli
