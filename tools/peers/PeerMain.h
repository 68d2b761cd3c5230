#pragma once

#include <CLI/CLI.hpp>

#include <cstdint>
#include <string>
#include <vector>

namespace garrison::peers {

std::vector<std::string> splitOn(const std::string &text, char separator);
// A dotted IPv4 address in network order; throws CLI::ValidationError naming option.
std::uint32_t parseBindAddress(const std::string &text, const std::string &option = "--bind");
// Serves until SIGINT or SIGTERM, or for seconds when that is above 0.
void serveUntilStopped(double seconds);

} // namespace garrison::peers
