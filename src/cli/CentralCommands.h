#pragma once

#include <CLI/CLI.hpp>

namespace garrison::cli {

// garrison-cli news HOST[:PORT] and garrison-cli browse HOST[:PORT]: the two
// questions Garrison asks the central server.
void addNewsCommand(CLI::App &app, int &exitCode);
void addBrowseCommand(CLI::App &app, int &exitCode);

} // namespace garrison::cli
