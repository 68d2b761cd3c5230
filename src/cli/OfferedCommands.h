#pragma once

#include <CLI/CLI.hpp>

namespace garrison::cli {

// garrison-cli offered ADDRESS: what a server's Auto-Addon server offers,
// evaluated against the database; garrison-cli activate and deactivate.
void addOfferedCommands(CLI::App &app, int &exitCode);

} // namespace garrison::cli
