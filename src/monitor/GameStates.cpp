#include "monitor/GameStates.h"

namespace garrison {

namespace {

struct GameStateName {
    std::uint32_t state;
    const char *label;
    const char *english;
};

constexpr GameStateName kNames[] = {
    {0, "DSTR_MAIN_STATUS_IDLE", "Idle"},
    {2, "DSTR_MAIN_STATUS_CREATING", "Creating"},
    {4, "DSTR_MAIN_STATUS_EDMISS", "Editing mission"},
    {6, "DSTR_MAIN_STATUS_WAITING", "Waiting"},
    {9, "DSTR_MAIN_STATUS_DEBRIEFING", "Debriefing"},
    {12, "DSTR_MAIN_STATUS_SETTINGUP", "Setting up"},
    {13, "DSTR_MAIN_STATUS_BRIEFING", "Briefing"},
    {14, "DSTR_MAIN_STATUS_PLAYING", "Playing"},
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

std::string gameStateEnglishText(std::uint32_t state)
{
    const auto *name = find(state);
    return name ? name->english : std::to_string(state);
}

} // namespace garrison
