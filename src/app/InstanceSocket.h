#pragma once

#include <optional>
#include <string>

namespace garrison {

// Where the per-user single-instance socket lives: in $XDG_RUNTIME_DIR when it
// is a folder of this user that nobody else may enter, else in a folder
// "garrison-<uid>" of the temporary folder that this user owns with mode 0700
// (made when missing). Nothing when neither can be had: another local user
// must never be able to plant the socket and take over every start.
// runtimeDir, temporaryDir: the environment's values, or null.
std::optional<std::string> singleInstanceSocket(const char *runtimeDir, const char *temporaryDir);

} // namespace garrison
