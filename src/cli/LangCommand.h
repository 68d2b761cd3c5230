#pragma once

#include <CLI/CLI.hpp>

namespace garrison::cli {

// garrison-cli lang LABEL...: the display text of each label, one per line.
void addLangCommand(CLI::App &app, int &exitCode);

} // namespace garrison::cli
