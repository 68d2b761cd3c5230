#pragma once

#include "lang/LanguageTable.h"

#include <cstdint>
#include <string>
#include <vector>

namespace garrison {

// The label naming a game state ("DSTR_MAIN_STATUS_PLAYING"), or empty for a
// code without one, which is shown as its number.
const char *gameStateLabel(std::uint32_t state);
// The text shown for a state: its label resolved, or the code in decimal.
std::string gameStateText(std::uint32_t state, const LanguageTable &language);
// Every named state's text, for a field that must show any of them whole.
std::vector<std::string> gameStateTexts(const LanguageTable &language);

// What announcing a change to state does: whether it is recorded as the
// announced state, and the sound it plays (0 = none).
struct Announcement {
    bool recorded = false;
    int sound = 0;
};
Announcement announcementFor(std::uint32_t state, std::int64_t announcedState);

// A game runs in "Setting up", "Briefing" and "Playing"; it has ended in any
// state but those and "Idle".
bool gameRunning(std::uint32_t state);
bool gameEnded(std::uint32_t state);

} // namespace garrison
