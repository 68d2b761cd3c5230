#pragma once

#include <CLI/CLI.hpp>

namespace garrison::cli {

// Turns a text typed in UTF-8 into the game's code page as it is parsed;
// a character the code page cannot hold is a usage error that names it,
// never a silent "?" (a password would be lost).
CLI::Validator gameText();

} // namespace garrison::cli
