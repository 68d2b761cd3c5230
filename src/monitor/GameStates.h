#pragma once

#include "lang/LanguageTable.h"

#include <cstdint>
#include <string>

namespace garrison {

// The label naming a game state ("DSTR_MAIN_STATUS_PLAYING"), or empty for a
// code without one, which is shown as its number.
const char *gameStateLabel(std::uint32_t state);
// The text shown for a state: its label resolved, or the code in decimal.
std::string gameStateText(std::uint32_t state, const LanguageTable &language);

} // namespace garrison
