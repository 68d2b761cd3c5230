#pragma once

#include <CLI/CLI.hpp>

namespace garrison::cli {

// garrison-cli discover, scan, packages and files: the game folder and the
// add-on database of the working directory.
void addDatabaseCommands(CLI::App &app, int &exitCode);

} // namespace garrison::cli
