#pragma once

#include <string>

namespace garrison {

// What is wrong with a daemon's address setting, or empty when nothing is:
// the checks that the daemon makes when it starts, so that a check of its
// config refuses what the daemon would refuse.
// A game server's "HOST[:PORT]" (no port: the game's default).
std::string hostPortProblem(const std::string &key, const std::string &value);
// The dotted IPv4 address a daemon listens on.
std::string bindProblem(const std::string &value);

} // namespace garrison
