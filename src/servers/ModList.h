#pragma once

#include <string>
#include <vector>

namespace garrison {

// Without the spaces and tabs at both ends.
std::string trimBlanks(const std::string &text);
// A mod list text cut at ";", each piece trimmed of blanks, empty pieces
// dropped, the order kept.
std::vector<std::string> splitModList(const std::string &mods);
// The pieces joined by ";", no ";" at either end.
std::string joinModList(const std::vector<std::string> &mods);

} // namespace garrison
