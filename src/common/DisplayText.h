#pragma once

#include <string>
#include <string_view>

namespace garrison {

bool isValidUtf8(std::string_view text);
// A language text for a UTF-8 terminal or window: a translation saved as
// UTF-8 stays as it is, anything else is in the game's code page.
std::string displayText(std::string_view text);

} // namespace garrison
