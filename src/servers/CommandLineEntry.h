#pragma once

#include "servers/Settings.h"

#include <string>
#include <vector>

namespace garrison {

// Applies the program's own switches (the words after the program path):
// "-connect=HOST" with "-port=" and "-password=" adds or selects the entry of
// that address and gives it the password and the other words as its startup
// parameters and manual mods; "-nosplash" is dropped. Without "-connect="
// nothing changes. Returns whether an entry was selected.
bool applyCommandLine(const std::vector<std::string> &words, Settings &settings);

} // namespace garrison
