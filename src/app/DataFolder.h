#pragma once

#include <string>
#include <vector>

namespace garrison {

// Started from the desktop menu, Garrison keeps its files in the user's data
// folder rather than wherever the session happens to start it.
inline constexpr const char *kDataFolderSwitch = "--data-folder";

// Takes the switch out of words (it is no game parameter); true when it was there.
bool takeDataFolderSwitch(std::vector<std::string> &words);
// $XDG_DATA_HOME/garrison, else $HOME/.local/share/garrison; null for an unset variable.
std::string desktopDataFolder(const char *xdgDataHome, const char *home);
// Creates the folder with its parents and works in it from now on; false when it cannot.
bool enterFolder(const std::string &folder);

} // namespace garrison
