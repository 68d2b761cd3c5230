#pragma once

#include <string>
#include <utility>
#include <vector>

namespace garrison {

// Starts argv[0] (looked up in PATH) with these arguments in workingFolder,
// the environment plus the given variables, no shell in between. The child
// is reaped in the background. False when it could not be started.
bool startProcess(const std::vector<std::string> &argv, const std::string &workingFolder,
                  const std::vector<std::pair<std::string, std::string>> &variables = {});

} // namespace garrison
