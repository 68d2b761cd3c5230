#pragma once

#include <CLI/CLI.hpp>

namespace garrison::cli {

// garrison-cli install ZIP: installs an add-on archive as a download would.
void addInstallCommand(CLI::App &app, int &exitCode);

} // namespace garrison::cli
