#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace garrison {

// A Windows command line's arguments as the game's C runtime reads them:
// white space separates, double quotes group, a quote after an odd number of
// backslashes is a quote character, backslashes elsewhere are themselves.
std::vector<std::string> splitWindowsArguments(std::string_view commandLine);
// One argument written so that splitWindowsArguments gives it back whole:
// quoted when it holds white space or quotes, or is empty.
std::string quoteWindowsArgument(std::string_view argument);

} // namespace garrison
