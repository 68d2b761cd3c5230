#include "monitor/GameSpyAnswer.h"

#include "common/TextCompare.h"
#include "monitor/GameSpyPairReader.h"

#include <optional>

namespace garrison {

namespace {

int leadingDigits(const std::string &text)
{
    long long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            break;
        value = value * 10 + (c - '0');
        if (value > 1000000000)
            break;
    }
    return static_cast<int>(value);
}

std::string maxPlayersText(const std::string &value)
{
    const int players = leadingDigits(value) - 2;
    return std::to_string(players < 0 ? 0 : players);
}

// Keys whose value is kept as it is; they match only in this spelling.
struct TextKey {
    std::string_view key;
    std::string ServerStatus::*field;
};

constexpr TextKey kTextKeys[] = {
    {"gamename", &ServerStatus::gameName}, {"mapname", &ServerStatus::map},   {"mod", &ServerStatus::mod},
    {"timeleft", &ServerStatus::timeLeft}, {"param1", &ServerStatus::param1}, {"param2", &ServerStatus::param2},
    {"platform", &ServerStatus::platform},
};

std::string *textField(const std::string &key, ServerStatus &record)
{
    for (const auto &known : kTextKeys) {
        if (key == known.key)
            return &(record.*known.field);
    }
    return nullptr;
}

} // namespace

void applyGameSpyAnswer(std::string_view answer, ServerStatus &record)
{
    record.playerList.clear();
    GameSpyPairReader reader(answer.empty() ? answer : answer.substr(1));
    for (;;) {
        const auto key = reader.next();
        if (!key || *key == "final")
            return;
        const auto value = reader.next();
        if (!value)
            return;
        if (key->starts_with("player_")) {
            PlayerEntry player{*value, {}, {}};
            std::optional<std::string> fields[3];
            for (auto &field : fields) {
                if (!reader.next() || !(field = reader.next()))
                    return; // a player cut short is dropped and reading stops
            }
            player.score = *fields[1];
            player.deaths = *fields[2];
            record.playerList.push_back(std::move(player));
        } else if (auto *field = textField(*key, record)) {
            *field = *value;
        } else if (*key == "maxplayers") {
            record.maxPlayers = maxPlayersText(*value);
        } else if (equalsNoCase(*key, "equalmodrequired")) {
            record.equalModRequired = leadingDigits(*value);
        }
    }
}

} // namespace garrison
