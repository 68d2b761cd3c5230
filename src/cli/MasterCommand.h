#pragma once

#include <CLI/CLI.hpp>

namespace garrison::cli {

// garrison-cli master HOST[:PORT]: the servers a GameSpy master lists, each asked what it is.
void addMasterCommand(CLI::App &app, int &exitCode);

} // namespace garrison::cli
