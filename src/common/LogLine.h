#pragma once

#include <string>

namespace garrison {

// One line of a daemon's log on standard output, stamped with the local
// time, whole even when threads log at once.
void logLine(const std::string &text);
// The text as it goes into the log: UTF-8, control characters written as \x0a.
std::string loggable(const std::string &text);

} // namespace garrison
