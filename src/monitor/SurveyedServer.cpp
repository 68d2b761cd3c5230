#include "monitor/SurveyedServer.h"

#include "monitor/GameSpyPairReader.h"
#include "monitor/InfoAnswer.h"

#include <charconv>
#include <map>

namespace garrison {

namespace {

// A server names itself: no control character may reach a terminal or a row.
std::string cleanText(std::string_view text)
{
    std::string clean;
    for (const char c : text.substr(0, GameSpyPairReader::kMaxTextBytes)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F)
            clean += c;
    }
    return clean;
}

std::uint32_t number(const std::string &text)
{
    std::uint32_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

std::string versionText(std::uint32_t version)
{
    std::string minor = std::to_string(version % 100);
    return std::to_string(version / 100) + "." + (minor.size() < 2 ? "0" : "") + minor;
}

} // namespace

void SurveyedServer::takeStatusAnswer(std::string_view answer)
{
    std::map<std::string, std::string, std::less<>> values;
    playerNames.clear();
    GameSpyPairReader reader(answer.empty() ? answer : answer.substr(1));
    for (;;) {
        const auto key = reader.next();
        const auto value = key && *key != "final" ? reader.next() : std::nullopt;
        if (!value)
            break;
        if (key->starts_with("player_"))
            playerNames.push_back(cleanText(*value));
        else
            values.emplace(*key, cleanText(*value));
    }
    const auto value = [&](std::string_view key) {
        const auto found = values.find(key);
        return found == values.end() ? std::string() : found->second;
    };
    answered = true;
    gameName = value("gamename");
    map = value("mapname");
    mods = value("mod");
    players = values.count("numplayers") ? number(value("numplayers")) : static_cast<std::uint32_t>(playerNames.size());
    const std::uint32_t slots = number(value("maxplayers"));
    maxPlayers = slots > 2 ? slots - 2 : 0;
    if (infoTaken)
        return;
    name = value("hostname");
    mission = value("gametype");
    version = value("gamever");
    state = number(value("gstate"));
    password = value("password") == "1";
}

void SurveyedServer::takeInfoAnswer(std::span<const std::uint8_t> datagram)
{
    const InfoAnswer info = parseSocketsInfoAnswer(datagram);
    answered = true;
    infoTaken = true;
    if (!info.description.empty())
        name = cleanText(info.description);
    if (!info.mission.empty())
        mission = cleanText(info.mission);
    if (info.version != 0)
        version = versionText(info.version);
    state = info.gameState;
    password = info.passwordRequired;
}

} // namespace garrison
