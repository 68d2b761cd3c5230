#pragma once

#include <optional>
#include <string>

namespace garrison {

// Turns a game-relative path ("addons\x.pbo", folders ending in "\") into a
// native path below gameFolder (a native path ending in "/"). Each component
// takes the spelling that already exists on disk, ignoring case, so we never
// create "addons/" beside "AddOns/". A trailing "\" gives a trailing "/".
// nullopt for a component "." or "..", or one holding "/" or NUL: such a path
// could leave the game folder.
std::optional<std::string> nativePath(const std::string &gameFolder, const std::string &relative);

} // namespace garrison
