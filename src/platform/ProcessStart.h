#pragma once

#include <string>
#include <utility>
#include <vector>

namespace garrison {

// Starts argv[0] (looked up in PATH) with these arguments in workingFolder,
// the environment plus the given variables, no shell in between. The child
// is reaped in the background. False when it could not be started; error
// then holds the errno value that says why.
bool startProcess(const std::vector<std::string> &argv, const std::string &workingFolder,
                  const std::vector<std::pair<std::string, std::string>> &variables = {}, int *error = nullptr);

} // namespace garrison
