#pragma once

#include <string>
#include <vector>

namespace garrison {

enum class StartupAction {
    Run,       // the main window
    EndAtOnce, // "RegServer" or "UnregServer": there is nothing to register here
    NoWindow,  // "Embedding" or "Automation": keep running without a window
};

// The start-up switches among the words after the program path. A
// registration switch counts only when it runs to the end of the command
// line; the embedding switches are whole words. "-" or "/" introduce a
// switch, and case does not matter.
StartupAction startupAction(const std::vector<std::string> &words);

} // namespace garrison
