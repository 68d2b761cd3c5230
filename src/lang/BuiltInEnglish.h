#pragma once

#include <string>

namespace garrison {

// The complete English table carried inside the program, in language-file
// syntax; empty if it cannot be unpacked.
std::string builtInEnglishText();

} // namespace garrison
