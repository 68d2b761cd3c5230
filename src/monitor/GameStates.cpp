#include "monitor/GameStates.h"

namespace garrison {

namespace {

struct GameStateName {
    std::uint32_t state;
    const char *label;
};

constexpr GameStateName kNames[] = {
    {0, "DSTR_MAIN_STATUS_IDLE"},      {2, "DSTR_MAIN_STATUS_CREATING"},   {4, "DSTR_MAIN_STATUS_EDMISS"},
    {6, "DSTR_MAIN_STATUS_WAITING"},   {9, "DSTR_MAIN_STATUS_DEBRIEFING"}, {12, "DSTR_MAIN_STATUS_SETTINGUP"},
    {13, "DSTR_MAIN_STATUS_BRIEFING"}, {14, "DSTR_MAIN_STATUS_PLAYING"},
};

const GameStateName *find(std::uint32_t state)
{
    for (const auto &name : kNames) {
        if (name.state == state)
            return &name;
    }
    return nullptr;
}

} // namespace

const char *gameStateLabel(std::uint32_t state)
{
    const auto *name = find(state);
    return name ? name->label : "";
}

std::string gameStateText(std::uint32_t state, const LanguageTable &language)
{
    const auto *name = find(state);
    return name ? language.Resolve(name->label) : std::to_string(state);
}

} // namespace garrison
