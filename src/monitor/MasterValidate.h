#pragma once

#include <string>
#include <string_view>

namespace garrison {

// The answer a GameSpy master expects to its "\secure\" challenge: the
// challenge run through the RC4-like cipher keyed with the game's secret key,
// written in base-64. Empty when the challenge or the key is empty.
std::string masterValidate(std::string_view challenge, std::string_view gameKey);

} // namespace garrison
