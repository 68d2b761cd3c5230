#pragma once

#include <CLI/CLI.hpp>

namespace garrison::cli {

// garrison-cli download ADDRESS: from a server's list to installed add-ons.
void addDownloadCommand(CLI::App &app, int &exitCode);

} // namespace garrison::cli
