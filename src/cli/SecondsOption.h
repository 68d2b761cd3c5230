#pragma once

#include <CLI/CLI.hpp>

namespace garrison::cli {

// A time to wait: a number of seconds above 0 and at most an hour; "nan",
// "inf", 0 and negative numbers would never end or never wait.
CLI::Validator waitSeconds();

} // namespace garrison::cli
