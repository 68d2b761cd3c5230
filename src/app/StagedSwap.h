#pragma once

#include <string>

namespace garrison {

// Moves every staged file into target, in place of the file of the same
// name. What it replaced waits aside until the end: when a move fails,
// everything is put back as it was. Empty on success, else the reason.
// Staging and the files put aside are removed afterwards either way.
std::string swapStagedFiles(const std::string &staging, const std::string &target);

} // namespace garrison
