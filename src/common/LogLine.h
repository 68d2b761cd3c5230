#pragma once

#include <string>

namespace garrison {

// One line of a daemon's log on standard output, stamped with the local
// time, whole even when threads log at once.
void logLine(const std::string &text);

} // namespace garrison
