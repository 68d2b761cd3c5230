#pragma once

#include <CLI/CLI.hpp>

namespace garrison::cli {

// garrison-cli launch: Play now for an entry of garrison.sav, or with
// --dry-run the command line it would start.
void addLaunchCommand(CLI::App &app, int &exitCode);

} // namespace garrison::cli
