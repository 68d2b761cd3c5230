#pragma once

#include <CLI/CLI.hpp>

namespace garrison::cli {

// garrison-cli servers [--json] [--apply-command-line -- WORD...]
void addServersCommand(CLI::App &app, int &exitCode);

} // namespace garrison::cli
