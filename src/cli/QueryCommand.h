#pragma once

#include <CLI/CLI.hpp>

namespace garrison::cli {

// garrison-cli query ADDRESS[:PORT] [--seconds S] [--json]
void addQueryCommand(CLI::App &app, int &exitCode);

} // namespace garrison::cli
