#pragma once

#include <cstdint>
#include <string>

namespace garrison {

// The label naming a game state ("DSTR_MAIN_STATUS_PLAYING"), or empty for a
// code without one, which is shown as its number.
const char *gameStateLabel(std::uint32_t state);
// The built-in English text of a state: its label's text, or the code in decimal.
std::string gameStateEnglishText(std::uint32_t state);

} // namespace garrison
