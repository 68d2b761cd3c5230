#include "monitor/GameStates.h"

namespace garrison {

namespace {

constexpr std::uint32_t kIdle = 0;
constexpr std::uint32_t kSettingUp = 12;
constexpr std::uint32_t kBriefing = 13;
constexpr std::uint32_t kPlaying = 14;

struct GameStateName {
    std::uint32_t state;
    const char *label;
    int sound; // played when the change is announced; 0 = none
};

// Idle is never recorded as announced; every other named state is.
constexpr GameStateName kNames[] = {
    {kIdle, "DSTR_MAIN_STATUS_IDLE", 0},
    {2, "DSTR_MAIN_STATUS_CREATING", 135},
    {4, "DSTR_MAIN_STATUS_EDMISS", 0},
    {6, "DSTR_MAIN_STATUS_WAITING", 137},
    {9, "DSTR_MAIN_STATUS_DEBRIEFING", 140},
    {kSettingUp, "DSTR_MAIN_STATUS_SETTINGUP", 138},
    {kBriefing, "DSTR_MAIN_STATUS_BRIEFING", 138},
    {kPlaying, "DSTR_MAIN_STATUS_PLAYING", 139},
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

std::vector<std::string> gameStateTexts(const LanguageTable &language)
{
    std::vector<std::string> texts;
    for (const auto &name : kNames)
        texts.push_back(language.Resolve(name.label));
    return texts;
}

std::string gameStateText(std::uint32_t state, const LanguageTable &language)
{
    const auto *name = find(state);
    return name ? language.Resolve(name->label) : std::to_string(state);
}

Announcement announcementFor(std::uint32_t state, std::int64_t announcedState)
{
    const auto *name = find(state);
    if (!name || state == kIdle)
        return {};
    // Setting up already rang for the briefing that follows it.
    if (state == kBriefing && announcedState == kSettingUp)
        return {true, 0};
    return {true, name->sound};
}

bool gameRunning(std::uint32_t state)
{
    return state >= kSettingUp && state <= kPlaying;
}

bool gameEnded(std::uint32_t state)
{
    return state != kIdle && !gameRunning(state);
}

} // namespace garrison
