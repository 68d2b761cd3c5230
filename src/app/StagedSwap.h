#pragma once

#include "common/Failure.h"

#include <functional>
#include <string>

namespace garrison {

// Moves every staged file into target, in place of the file of the same
// name. What it replaced waits aside until the end: when a move fails,
// everything is put back as it was, folders it made included. The failure
// gives the reason, which is also left in target for the next start
// of Garrison to tell. Staging and the files put aside are removed afterwards
// either way. Before the first move, the list of moves is written to a
// journal in target, so that a swap cut short (a crash, a power cut) can be
// undone by recoverInterruptedSwap. afterMove, when given, runs after each
// move (tests stop there).
Failure swapStagedFiles(const std::string &staging, const std::string &target,
                        const std::function<void()> &afterMove = {});

// At Garrison's start: a swap cut short is undone from its journal, so the
// program is the old one again, whole; and a failed swap's reason is taken.
// What to tell the player, or empty.
std::string recoverInterruptedSwap(const std::string &target);

} // namespace garrison
